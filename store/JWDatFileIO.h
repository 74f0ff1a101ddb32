#pragma once
// Low-level access to the read-only data files: the path rules (joining, the current directory for
// bare names), opening with the user-visible failure messages and positional reads. The three
// data-file readers share it; their raw deflate streams are inflated by JWRawInflate.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/JWFolderView.h"
#include "store/JWPlatform.h"
#include "store/JWRawInflate.h"

namespace jw {

using platform::IsDirectoryEnd;

// The file name a data-file reader opens: AFileName itself when it names a directory, else the
// process's current directory, a separator and AFileName.
std::string ResolveDataFileName(const std::string& AFileName);

// ADirectory with a trailing separator (unless it already ends in one, or is empty) and AFileName.
// The one rule by which the library joins a directory and a name.
std::string JoinPath(const std::string& ADirectory, const std::string& AFileName);
// ADirectory ending in a separator; the empty text stays empty.
std::string WithDirectoryEnd(const std::string& ADirectory);

// One read-only data file. Reads are positional and never move a shared file position, so a
// reader can probe its index in any order. A file that shrinks while open yields short reads.
class TJWDatFileIO {
 public:
  TJWDatFileIO() = default;
  ~TJWDatFileIO();
  TJWDatFileIO(const TJWDatFileIO&) = delete;
  TJWDatFileIO& operator=(const TJWDatFileIO&) = delete;

  bool IsOpen() const { return FHandle != platform::InvalidFile; }
  // Fails with "File already open!", "Datei "<name>" nicht gefunden!" or
  // "Konnte Datei "<name>" nicht öffnen!".
  void Open(const std::string& AFileName);
  // From now on Open opens ARelative inside AFolder (a call's view of the data folder) instead of
  // the name it is given, which only names the file in messages. Null goes back to names.
  void SetFolder(std::shared_ptr<TJWFolderView> AFolder, const std::string& ARelative);
  void Close();
  const std::string& GetFileName() const { return FFileName; }

  // Reads up to ASize bytes at AOffset into ABuffer; returns how many were read (fewer at the end
  // of the file, 0 beyond it). Fails only on a read error of the system.
  size_t ReadAt(uint64_t AOffset, void* ABuffer, size_t ASize) const;
  // ReadAt into a new buffer of at most ASize bytes, never larger than what the file holds there.
  std::vector<uint8_t> ReadBytes(uint64_t AOffset, uint64_t ASize) const;
  // The current size of the open file.
  uint64_t Size() const;
  // Who the file was when it was opened (all zero when that could not be told).
  const platform::TFileIdentity& Identity() const { return FIdentity; }

 private:
  platform::TFileHandle FHandle = platform::InvalidFile;
  std::string FFileName;
  platform::TFileIdentity FIdentity;
  std::shared_ptr<TJWFolderView> FFolder;
  std::string FRelative;
};

}  // namespace jw
