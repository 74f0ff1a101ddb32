#pragma once
// The pictures of a JSON source description: entries' "Logo" files become the logo data file,
// "Templates" (with "DefaultTemplate") the template data file. Picture paths are relative to the
// description's directory.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/writer/JWEntryJson.h"

namespace jw {

// Turns a picture file into the bytes of a Windows bitmap file.
using TJWPictureLoader = std::function<std::vector<uint8_t>(const std::string& APath)>;

// Takes bitmap files as they are and refuses anything else.
std::vector<uint8_t> LoadBmpFile(const std::string& APath);

// A "#RRGGBB" text or a number, as the file's 0x00BBGGRR colour.
uint32_t ColorFromJson(const TJWJson& AValue);

// Writes the logo data file; entries naming the same picture file share one stored image.
// Returns the number of entries with a logo.
size_t WriteLogosFromJson(const TJWJson& ASource, const std::string& ABaseDir,
                          const std::string& AFileName, const TJWPictureLoader& ALoad);

// Writes the template data file. A template without "Image", "Button1" or "Button2" stores that
// picture with size 0. Returns the number of templates.
size_t WriteTemplatesFromJson(const TJWJson& ASource, const std::string& ABaseDir,
                              const std::string& AFileName, const TJWPictureLoader& ALoad);

}  // namespace jw
