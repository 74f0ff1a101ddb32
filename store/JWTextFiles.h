#pragma once
// Small text files read whole (the page templates and their include files), named inside a
// folder view. What is made of them is cached by their identity elsewhere (the parsed templates).
#include <cstdint>
#include <memory>
#include <string>

#include "store/JWPlatform.h"

namespace jw {

class TJWFolderView;

struct TJWTextFile {
  enum TState { tsRead, tsMissing, tsTooLarge, tsUnreadable };
  TState State = tsMissing;
  std::shared_ptr<const std::string> Text;  // the bytes when read
  platform::TFileIdentity Identity;         // of the file that was read
};

// The bytes of ARelative inside AFolder when it is a regular file of at most AMaxSize bytes that
// can be read (a file that a link leads out of a folder view that keeps inside is unreadable).
// Backslashes in ARelative count as folder separators everywhere, so templates written for
// Windows find their include files.
TJWTextFile ReadTextFile(const TJWFolderView& AFolder, const std::string& ARelative,
                         uint64_t AMaxSize);

}  // namespace jw
