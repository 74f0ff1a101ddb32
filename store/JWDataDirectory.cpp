#include "store/JWDataDirectory.h"

#include <algorithm>
#include <cstdlib>
#include <list>
#include <utility>

#include "store/JWRecordCache.h"
#include "store/ZDStrUtils.h"

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

size_t ListBytes(const TStringList& AList) {
  size_t bytes = AList.capacity() * sizeof(std::string);
  for (const std::string& s : AList) bytes += s.capacity();
  return bytes;
}

// Roughly what a cached entry occupies; the strings' own bytes dominate.
size_t EntryBytes(const TJW2DataRec& ARecord) {
  const TJW2DataRec& r = ARecord;
  size_t bytes = sizeof(TJW2DataRec);
  for (const std::string* s :
       {&r.Id,           &r.ExtraText1,   &r.Code5,      &r.Code6,      &r.ExtraText2,
        &r.NamePart1,    &r.NamePart6,    &r.NamePart7,  &r.NamePart2,  &r.NamePart4,
        &r.NamePart5,    &r.NameFormat,   &r.ExtraText3, &r.NamePart3,  &r.Slogan,
        &r.Street,       &r.StreetNo,     &r.StreetAdd,  &r.Zip,        &r.City,
        &r.PhonePrefix,  &r.PhoneNumber,  &r.FaxPrefix,  &r.FaxNumber,  &r.MobilePrefix,
        &r.MobileNumber, &r.EMail,        &r.Url,        &r.PortalPage, &r.PosX,
        &r.PosY,         &r.BusinessTypes})
    bytes += s->capacity();
  for (const TStringList* l : {&r.Industries, &r.Searchwords, &r.OfficeHours, &r.EnhInfo})
    bytes += ListBytes(*l);
  if (r.Branches)
    for (const TJWBranchRec& b : *r.Branches)
      bytes += sizeof b + b.Zip.capacity() + b.City.capacity() + b.Street.capacity() +
               b.StreetNo.capacity() + b.StreetAdd.capacity() + b.Phone.capacity() +
               b.Firm.capacity() + b.SortKey.capacity() + b.Code.capacity();
  return bytes;
}

}  // namespace

// A blank path names files in the current directory as it is now: the process-wide directories
// are told apart by that, and a later change of the current directory makes another one.
TJWDataDirectory::TJWDataDirectory(const std::string& APath)
    : FPath(APath), FFolder(Trim(APath).empty() ? platform::CurrentDirectory() : APath) {}

TJWDataDirectory::~TJWDataDirectory() = default;

std::string TJWDataDirectory::FileName(const std::string& APath, const char* AName) {
  return Trim(APath).empty() ? APath + AName : JoinPath(APath, AName);
}

std::string TJWDataDirectory::FileName(const char* AName) const {
  return FileName(FPath, AName);
}

std::string TJWDataDirectory::FolderPath() const {
  return FFolder;
}

std::string TJWDataDirectory::Relative(const char* AName) const {
  return Trim(FPath).empty() ? FPath + AName : std::string(AName);
}

void TJWDataDirectory::Recheck() {
  FView = std::make_shared<TJWFolderView>(FolderPath(), false);
  std::fill(std::begin(FChecked), std::end(FChecked), false);
}

void TJWDataDirectory::Check(TFile AFile) {
  if (FChecked[AFile]) return;
  FChecked[AFile] = true;
  static const char* const names[] = {EntryDatFileName, LogoDatFileName, TemplateDatFileName};
  const TJWFolderView::TFile& now = FView->Check(Relative(names[AFile]));
  // A reader that never opened has nothing to lose.
  auto stale = [&](const platform::TFileIdentity& AOpened) {
    return AOpened != platform::TFileIdentity{} &&
           (now.Kind != platform::TFileKind::Regular || now.Identity != AOpened);
  };
  switch (AFile) {
    case fEntries:
      if (FEntries && stale(FEntries->FileIdentity())) FEntries.reset();
      break;
    case fLogos:
      if (FLogos && stale(FLogos->FileIdentity())) {
        if (FEntries) FEntries->SetLogoFile(nullptr);
        FLogos.reset();
      }
      break;
    case fTemplates:
      if (FTemplates && stale(FTemplates->FileIdentity())) FTemplates.reset();
      break;
  }
}

template <class TReader>
TReader& TJWDataDirectory::Reader(std::unique_ptr<TReader>& AReader, TFile AFile,
                                  const char* AName) {
  Check(AFile);
  if (!AReader) AReader = std::make_unique<TReader>(FileName(AName));
  // A reader opens in the folder of the call that first needs the file.
  if (FView && !AReader->IsOpen()) AReader->SetFolder(FView, Relative(AName));
  return *AReader;
}

TJWELogoDatFile& TJWDataDirectory::Logos() {
  return Reader(FLogos, fLogos, LogoDatFileName);
}

TJWEEntryDatFile& TJWDataDirectory::EntriesWithoutLogos() {
  TJWEEntryDatFile& entries = Reader(FEntries, fEntries, EntryDatFileName);
  entries.SetLogoFile(nullptr);
  return entries;
}

TJWEEntryDatFile& TJWDataDirectory::Entries() {
  TJWELogoDatFile& logos = Logos();
  TJWEEntryDatFile& entries = EntriesWithoutLogos();
  entries.SetLogoFile(&logos);
  return entries;
}

std::shared_ptr<const TJW2DataRec> TJWDataDirectory::EntryWithoutLogo(uint32_t AId) {
  TJWEEntryDatFile& entries = EntriesWithoutLogos();
  entries.GetCount();  // opens the file, so that its identity is known
  const platform::TFileIdentity file = entries.FileIdentity();
  const std::string key = file == platform::TFileIdentity{}
                              ? std::string()  // an unknown file is not cached
                              : 'E' + TJWRecordCache::FileKey(file) + '#' + std::to_string(AId);
  TJWRecordCache& cache = TJWRecordCache::Instance();
  if (!key.empty())
    if (auto cached = cache.Find<TJW2DataRec>(key)) return cached;
  auto made = std::make_shared<TJW2DataRec>();
  entries.LoadEntry(AId, *made);
  if (!key.empty()) cache.Put<TJW2DataRec>(key, made, EntryBytes(*made));
  return made;
}

void TJWDataDirectory::LoadEntry(uint32_t AId, TJW2DataRec& ARecord) {
  TJWELogoDatFile& logos = Logos();
  TJW2DataRec record = *EntryWithoutLogo(AId);
  // The logo is filed under the identifier the entry itself states.
  record.Logo = logos.GetLogo(uint32_t(std::strtol(record.Id.c_str(), nullptr, 10)));
  ARecord = std::move(record);
}

TJWETemplateDatFile& TJWDataDirectory::Templates() {
  return Reader(FTemplates, fTemplates, TemplateDatFileName);
}

TJWDataDirectory::TCall TJWDataDirectory::Use(const std::string& APath) {
  // A bare path depends on the current directory, which may change between calls.
  const std::string key = ResolveDataFileName(FileName(APath, EntryDatFileName));
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
