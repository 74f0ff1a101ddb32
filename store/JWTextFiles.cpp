#include "store/JWTextFiles.h"

#include "store/JWFolderView.h"

namespace jw {

namespace {

struct TFileGuard {
  platform::TFileHandle Handle;
  ~TFileGuard() { platform::CloseFile(Handle); }
};

}  // namespace

TJWTextFile ReadTextFile(const TJWFolderView& AFolder, const std::string& ARelative,
                         uint64_t AMaxSize) {
  TJWTextFile result;
  const TFileGuard file{AFolder.Open(ARelative)};
  if (file.Handle == platform::InvalidFile || !platform::IdentityOf(file.Handle, result.Identity)) {
    result.State = TJWTextFile::tsUnreadable;
    return result;
  }
  if (result.Identity.Size > AMaxSize) {
    result.State = TJWTextFile::tsTooLarge;
    return result;
  }
  auto text = std::make_shared<std::string>(size_t(result.Identity.Size), '\0');
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
  if (done != text->size()) {
    // The file shrank while it was read: not the version its identity names.
    text->resize(done);
    result.Identity = {};
  }
  result.State = TJWTextFile::tsRead;
  result.Text = std::move(text);
  return result;
}

}  // namespace jw
