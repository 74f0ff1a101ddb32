#include "store/JWDatFileIO.h"

#include <algorithm>

#include "store/JWError.h"
#include "store/ZDStrUtils.h"

namespace jw {

std::string JoinPath(const std::string& ADirectory, const std::string& AFileName) {
  if (ADirectory.empty() || IsDirectoryEnd(ADirectory.back())) return ADirectory + AFileName;
  return ADirectory + platform::PathSeparator + AFileName;
}

std::string WithDirectoryEnd(const std::string& ADirectory) {
  return ADirectory.empty() ? ADirectory : JoinPath(ADirectory, std::string());
}

std::string ResolveDataFileName(const std::string& AFileName) {
  size_t end = AFileName.size();
  while (end > 0 && !IsDirectoryEnd(AFileName[end - 1])) --end;
  // The directory part keeps its separator, so "/x" stays an absolute name.
  if (!Trim(AFileName.substr(0, end)).empty()) return AFileName;
  const std::string cwd = platform::CurrentDirectory();
  if (cwd.empty()) return AFileName;  // no usable directory
  return JoinPath(cwd, AFileName);
}

TJWDatFileIO::~TJWDatFileIO() {
  Close();
}

void TJWDatFileIO::SetFolder(std::shared_ptr<TJWFolderView> AFolder, const std::string& ARelative) {
  FFolder = std::move(AFolder);
  FRelative = ARelative;
}

void TJWDatFileIO::Open(const std::string& AFileName) {
  if (IsOpen()) throw EJWError("File already open!");
  platform::TFileHandle file = platform::InvalidFile;
  if (FFolder) {
    file = FFolder->Open(FRelative);
    if (file == platform::InvalidFile) {
      const platform::TFileKind kind = FFolder->Check(FRelative).Kind;
      if (kind == platform::TFileKind::Missing || kind == platform::TFileKind::Directory)
        throw EJWError("Datei \"" + AFileName + "\" nicht gefunden!");
    }
  } else {
    const platform::TFileKind kind = platform::KindOf(AFileName);
    if (kind == platform::TFileKind::Missing || kind == platform::TFileKind::Directory)
      throw EJWError("Datei \"" + AFileName + "\" nicht gefunden!");
    file = platform::OpenReadOnly(AFileName);
  }
  if (file == platform::InvalidFile)
    throw EJWError("Konnte Datei \"" + AFileName +
                   "\" nicht \xF6"
                   "ffnen!");
  FHandle = file;
  FFileName = AFileName;
  if (!platform::IdentityOf(FHandle, FIdentity)) FIdentity = {};
}

void TJWDatFileIO::Close() {
  platform::CloseFile(FHandle);
  FHandle = platform::InvalidFile;
  FIdentity = {};
}

size_t TJWDatFileIO::ReadAt(uint64_t AOffset, void* ABuffer, size_t ASize) const {
  if (!IsOpen()) throw EJWError("File not open!");
  size_t done = 0;
  auto* out = static_cast<char*>(ABuffer);
  while (done < ASize) {
    const size_t chunk = std::min<size_t>(ASize - done, size_t(1) << 30);
    std::string error;
    const int64_t n = platform::ReadAt(FHandle, AOffset + done, out + done, chunk, error);
    if (n < 0) throw EJWError("Lesefehler in Datei \"" + FFileName + "\": " + error);
    if (n == 0) break;
    done += size_t(n);
  }
  return done;
}

std::vector<uint8_t> TJWDatFileIO::ReadBytes(uint64_t AOffset, uint64_t ASize) const {
  const uint64_t size = Size();
  const uint64_t avail = AOffset >= size ? 0 : std::min(ASize, size - AOffset);
  std::vector<uint8_t> bytes(static_cast<size_t>(avail));
  bytes.resize(ReadAt(AOffset, bytes.data(), bytes.size()));  // the file may have shrunk since
  return bytes;
}

uint64_t TJWDatFileIO::Size() const {
  if (!IsOpen()) throw EJWError("File not open!");
  platform::TFileIdentity id;
  return platform::IdentityOf(FHandle, id) ? id.Size : 0;
}

}  // namespace jw
