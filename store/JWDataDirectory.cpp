#include "store/JWDataDirectory.h"

#include <algorithm>
#include <list>
#include <utility>

namespace jw {

namespace {

struct TOpenDirectory {
  std::string Key;
  std::shared_ptr<TJWDataDirectory> Directory;
};

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}

// Most recently used first. Never destroyed: host threads may still be inside a call at exit.
std::list<TOpenDirectory>& Registry() {
  static auto* registry = new std::list<TOpenDirectory>();
  return *registry;
}

// Whether the file AName still is the file a reader opened as AOpened. A reader that never opened
// has nothing to lose.
bool StillTheSame(const platform::TFileIdentity& AOpened, const std::string& AName) {
  if (AOpened == platform::TFileIdentity{}) return true;
  platform::TFileIdentity now;
  return platform::IdentityOf(AName, now) && now == AOpened;
}

}  // namespace

TJWDataDirectory::TJWDataDirectory(const std::string& APath) : FPath(APath) {}

TJWDataDirectory::~TJWDataDirectory() = default;

std::string TJWDataDirectory::FileName(const char* AName) const {
  return JoinPath(FPath, AName);
}

void TJWDataDirectory::Recheck() {
  std::fill(std::begin(FChecked), std::end(FChecked), false);
}

void TJWDataDirectory::Check(TFile AFile) {
  if (FChecked[AFile]) return;
  FChecked[AFile] = true;
  switch (AFile) {
    case fEntries:
      if (FEntries && !StillTheSame(FEntries->FileIdentity(), FEntries->GetFileName()))
        FEntries.reset();
      break;
    case fLogos:
      if (FLogos && !StillTheSame(FLogos->FileIdentity(), FLogos->GetFileName())) {
        if (FEntries) FEntries->SetLogoFile(nullptr);
        FLogos.reset();
      }
      break;
    case fTemplates:
      if (FTemplates && !StillTheSame(FTemplates->FileIdentity(), FTemplates->GetFileName()))
        FTemplates.reset();
      break;
  }
}

TJWELogoDatFile& TJWDataDirectory::Logos() {
  Check(fLogos);
  if (!FLogos) FLogos = std::make_unique<TJWELogoDatFile>(FileName(LogoDatFileName));
  return *FLogos;
}

TJWEEntryDatFile& TJWDataDirectory::EntriesWithoutLogos() {
  Check(fEntries);
  if (!FEntries) FEntries = std::make_unique<TJWEEntryDatFile>(FileName(EntryDatFileName));
  FEntries->SetLogoFile(nullptr);
  return *FEntries;
}

TJWEEntryDatFile& TJWDataDirectory::Entries() {
  TJWELogoDatFile& logos = Logos();
  TJWEEntryDatFile& entries = EntriesWithoutLogos();
  entries.SetLogoFile(&logos);
  return entries;
}

TJWETemplateDatFile& TJWDataDirectory::Templates() {
  Check(fTemplates);
  if (!FTemplates)
    FTemplates = std::make_unique<TJWETemplateDatFile>(FileName(TemplateDatFileName));
  return *FTemplates;
}

TJWDataDirectory::TCall TJWDataDirectory::Use(const std::string& APath) {
  // A bare path depends on the current directory, which may change between calls.
  const std::string key = ResolveDataFileName(JoinPath(APath, EntryDatFileName));
  TCall call;
  {
    std::lock_guard<std::mutex> lock(RegistryLock());
    std::list<TOpenDirectory>& registry = Registry();
    auto it = std::find_if(registry.begin(), registry.end(),
                           [&](const TOpenDirectory& d) { return d.Key == key; });
    if (it == registry.end()) {
      registry.push_front({key, std::make_shared<TJWDataDirectory>(APath)});
      // Directories beyond the bound close, unless a call is using them right now.
      size_t kept = 0;
      for (auto d = registry.begin(); d != registry.end();) {
        if (++kept > MaxOpenDirectories && d->Directory.use_count() == 1)
          d = registry.erase(d);
        else
          ++d;
      }
    } else {
      registry.splice(registry.begin(), registry, it);
    }
    call.FDirectory = registry.front().Directory;
  }
  call.FLock = std::unique_lock<std::recursive_mutex>(call.FDirectory->FLock);
  if (call.FDirectory->FCalls++ == 0) call.FDirectory->Recheck();
  return call;
}

TJWDataDirectory::TCall::~TCall() {
  if (!FDirectory || !FLock.owns_lock()) return;
  // Where open files cannot be replaced, the readers go with the last call; decoded records stay
  // in the record cache, keyed by the files' identities.
  if (--FDirectory->FCalls == 0 && !platform::OpenFilesCanBeReplaced) FDirectory->CloseFiles();
}

void TJWDataDirectory::CloseFiles() {
  FEntries.reset();
  FLogos.reset();
  FTemplates.reset();
}

void TJWDataDirectory::ForgetAll() {
  std::lock_guard<std::mutex> lock(RegistryLock());
  std::erase_if(Registry(), [](const TOpenDirectory& d) { return d.Directory.use_count() == 1; });
}

}  // namespace jw
