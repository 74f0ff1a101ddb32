#pragma once
// The failure log: one dated line per failure that an export absorbed, appended to a file named
// after the host executable, in whatever the current directory is when the line is written.
//
// The log stays bounded when the data is broken and a host keeps asking: a failure like the one
// before it (the same export failing with the same message) within RepeatWindowSeconds is counted
// instead of written, and the count is written as one line, the last such call followed by
// " (n times)", when another failure comes or the window has passed. A file that would grow past
// MaxLogBytes is renamed to the name + ".1" (replacing the older one) and a new file begun.
#include <string>

namespace jw {

// The log file's name without a directory: the executable's base name with its extension replaced
// by ".log". Fixed when the library is loaded.
const std::string& LogFileName();

inline constexpr long long MaxLogBytes = 10LL << 20;
inline constexpr int RepeatWindowSeconds = 60;

// Appends "yyyy-mm-dd hh:nn:ss | " + AMessage (line breaks folded to blanks) + CR LF, unless it
// repeats the failure before it (see above). AMessage is the call ("JW_X( args ): ") followed by
// the failure's message. Serialised by its own lock, which callers take after the library lock.
// Throws EJWError when the file cannot be opened or written.
void WriteLog(const std::string& AMessage);

// AMessage with LF CR, CR LF, LF and CR each replaced by one blank, so that it stays on one line.
std::string FoldLineBreaks(std::string AMessage);

}  // namespace jw
