#pragma once
// The failure log: one dated line per failure that an export absorbed, appended to a file named
// after the host executable, in whatever the current directory is when the line is written.
#include <string>

namespace jw {

// The log file's name without a directory: the executable's base name with its extension replaced
// by ".log". Fixed when the library is loaded.
const std::string& LogFileName();

// Appends "yyyy-mm-dd hh:nn:ss | " + AMessage (line breaks folded to blanks) + CR LF. Serialised by
// its own lock, which callers take after the library lock. Throws EJWError when the file cannot be
// opened or written.
void WriteLog(const std::string& AMessage);

// AMessage with LF CR, CR LF, LF and CR each replaced by one blank, so that it stays on one line.
std::string FoldLineBreaks(std::string AMessage);

}  // namespace jw
