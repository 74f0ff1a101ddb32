#pragma once
// Small text files read whole (the page templates and their include files), cached by name and by
// the file's identity: a file that changed on disk is read again, an unchanged one costs one look
// at its identity.
#include <cstdint>
#include <memory>
#include <string>

namespace jw {

struct TJWTextFile {
  enum TState { tsRead, tsMissing, tsTooLarge, tsUnreadable };
  TState State = tsMissing;
  std::shared_ptr<const std::string> Text;  // the bytes when read
};

// Whether APath names a regular file (following links). Backslashes in APath count as directory
// separators everywhere, so templates written for Windows find their include files.
bool TextFileExists(const std::string& APath);
// The size of APath as it is now; 0 when it cannot be told.
uint64_t TextFileSize(const std::string& APath);
// The bytes of APath when it is a regular file of at most AMaxSize bytes that can be read.
TJWTextFile ReadTextFile(const std::string& APath, uint64_t AMaxSize);

}  // namespace jw
