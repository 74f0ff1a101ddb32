#include "store/JWTextFiles.h"

#include "store/JWPlatform.h"
#include "store/JWRecordCache.h"

namespace jw {

namespace {

std::string NativeName(const std::string& APath) {
  std::string name = APath;
  if (platform::PathSeparator != '\\')
    for (char& c : name)
      if (c == '\\') c = platform::PathSeparator;
  return name;
}

struct TFileGuard {
  platform::TFileHandle Handle;
  ~TFileGuard() { platform::CloseFile(Handle); }
};

}  // namespace

bool TextFileExists(const std::string& APath) {
  return platform::KindOf(NativeName(APath)) == platform::TFileKind::Regular;
}

uint64_t TextFileSize(const std::string& APath) {
  platform::TFileIdentity id;
  return platform::IdentityOf(NativeName(APath), id) ? id.Size : 0;
}

TJWTextFile ReadTextFile(const std::string& APath, uint64_t AMaxSize) {
  TJWTextFile result;
  const std::string name = NativeName(APath);
  if (platform::KindOf(name) != platform::TFileKind::Regular) return result;

  TJWRecordCache& cache = TJWRecordCache::Instance();
  const std::string keyStart = "T" + std::to_string(AMaxSize) + '|' + name + '|';
  platform::TFileIdentity id;
  if (platform::IdentityOf(name, id) && id != platform::TFileIdentity{}) {
    if (auto text = cache.Find<std::string>(keyStart + TJWRecordCache::FileKey(id))) {
      result.State = TJWTextFile::tsRead;
      result.Text = std::move(text);
      return result;
    }
  }

  const TFileGuard file{platform::OpenReadOnly(name)};
  if (file.Handle == platform::InvalidFile || !platform::IdentityOf(file.Handle, id)) {
    result.State = TJWTextFile::tsUnreadable;
    return result;
  }
  if (id.Size > AMaxSize) {
    result.State = TJWTextFile::tsTooLarge;
    return result;
  }
  auto text = std::make_shared<std::string>(size_t(id.Size), '\0');
  size_t done = 0;
  while (done < text->size()) {
    std::string error;
    const int64_t n =
        platform::ReadAt(file.Handle, done, text->data() + done, text->size() - done, error);
    if (n < 0) {
      result.State = TJWTextFile::tsUnreadable;
      return result;
    }
    if (n == 0) break;
    done += size_t(n);
  }
  text->resize(done);  // the file may have shrunk meanwhile
  // The identity of the opened file names the bytes just read, whatever the name shows now.
  if (done == id.Size) cache.Put<std::string>(keyStart + TJWRecordCache::FileKey(id), text, done);
  result.State = TJWTextFile::tsRead;
  result.Text = std::move(text);
  return result;
}

}  // namespace jw
