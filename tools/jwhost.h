#pragma once
// The demo host: loads the library at run time exactly as a third-party program would (dlopen, its
// own memory routines) and offers its services on the command line and as a local web server.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "jwlib.h"

namespace jwhost {

// The library's entry points, resolved with dlsym.
struct TLibrary {
  void* Handle = nullptr;
  decltype(&JW_SetMemoryManager) SetMemoryManager = nullptr;
  decltype(&JW_GetTemplateImages) GetTemplateImages = nullptr;
  decltype(&JW_GetHTMLText) GetHTMLText = nullptr;
  decltype(&JW_ShowForm) ShowForm = nullptr;
  decltype(&JW_GetMiniaturBitmap) GetMiniaturBitmap = nullptr;
  decltype(&JW_Button2Index) Button2Index = nullptr;
  decltype(&JW_GetButtonSet) GetButtonSet = nullptr;
  decltype(&JW_ButtonCaptions) ButtonCaptions = nullptr;
  decltype(&JW_ButtonCaption) ButtonCaption = nullptr;
  decltype(&JW_ButtonCount) ButtonCount = nullptr;
  decltype(&JW_SetJWDataPath) SetJWDataPath = nullptr;
  decltype(&JW_GetDLLVersion) GetDLLVersion = nullptr;
  decltype(&JW_GetLastError) GetLastError = nullptr;
  decltype(&JW_ProcessMessages) ProcessMessages = nullptr;

  // Loads the library and installs the host's memory routines. On failure returns false and puts
  // the reason into AError.
  bool Load(const std::string& APath, std::string& AError);
  std::string LastError() const;
};

// The host's allocator, handed to the library: a malloc with a size header, so the host can tell
// how much of what the library gave it is still alive.
void* JWAPI HostGetMem(int32_t ASize);
int32_t JWAPI HostFreeMem(void* P);
void* JWAPI HostReallocMem(void* P, int32_t ASize);
int64_t HostLiveBlocks();

// Takes a stream from the library: copies its bytes and releases it with the host's routines.
std::string TakeStream(JWMemoryStream* AStream);

// One picture from JW_GetTemplateImages.
struct TPicture {
  std::string Name;
  std::string Bytes;
};
// The template pictures and logo of an entry; false when the call failed.
bool GetTemplatePictures(const TLibrary& ALib, uint32_t AEntryId, uint32_t ATemplateId,
                         std::vector<TPicture>& APictures);

// The thumbnail of an entry as PNG bytes; false when the call failed.
bool GetThumbnailPng(const TLibrary& ALib, uint32_t AEntryId, int32_t AWidth, std::string& APng);

// Request parameters as the library expects them: decoded name=value pairs joined by "&". Browsers
// send percent-escapes of the page's code page (Windows-1252); the library reads the query as
// written, so the host decodes it. Values are echoed into pages unescaped, so characters that could
// leave an attribute or open a tag are dropped, and so are the separators "&" and "=" inside a
// value (they would split it).
std::string DecodeQuery(const std::string& ARawQuery);
// The value of one (decoded) parameter of a raw query, or ADefault.
std::string QueryValue(const std::string& ARawQuery, const std::string& AName,
                       const std::string& ADefault = "");

// Windows-1252 text as UTF-8 (for terminals and the host's own pages).
std::string ToUtf8(const std::string& AText);

// The identifiers in the entry data file's index (read by the host so that it can list them).
bool ReadEntryIds(const std::string& ADataDir, std::vector<uint32_t>& AIds, std::string& AError);

struct TServeOptions {
  std::string Bind = "127.0.0.1";
  uint16_t Port = 8080;
  std::string Templates;
  std::string DataDir;
  unsigned MaxPerAddress = 32;  // connections from one client address; 0 = no limit
};
// Runs the web server until the process is stopped.
int Serve(const TLibrary& ALib, const TServeOptions& AOptions);

}  // namespace jwhost
