#pragma once
// The one place where the library's Windows-1252 byte texts meet Qt's Unicode strings.
#include <QString>
#include <string>

namespace jw {

// Every byte maps to one character; the five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control of the same value, so that any byte string survives a
// round trip through the toolkit.
QString ToQString(const std::string& AText);

// Characters without a Windows-1252 byte become '?' (a surrogate pair counts as one character).
std::string FromQString(const QString& AText);

}  // namespace jw
