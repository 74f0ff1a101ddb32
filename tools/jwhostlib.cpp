// Loading the library, the host's allocator, and the host-side helpers every subcommand shares.
#include <dlfcn.h>

#include <QBuffer>
#include <QImage>
#include <QString>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "../store/JWDataFileNames.h"
#include "../store/ZDCodePage.h"
#include "jwhost.h"

namespace jwhost {

namespace {

std::atomic<int64_t> gLiveBlocks{0};

// Every block carries its size in front, aligned for any type.
constexpr size_t kHeader = 16;

template <typename F>
bool Resolve(void* AHandle, const char* AName, F& AFunc, std::string& AError) {
  AFunc = reinterpret_cast<F>(dlsym(AHandle, AName));
  if (!AFunc) AError = std::string("the library does not export ") + AName;
  return AFunc != nullptr;
}

uint32_t ReadU32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct TThumbTarget {
  int32_t Width = 0;
  int32_t Height = 0;
  QImage Image;
};

int32_t JWAPI ThumbGetWidth(void* C) {
  return static_cast<TThumbTarget*>(C)->Width;
}
int32_t JWAPI ThumbGetHeight(void* C) {
  return static_cast<TThumbTarget*>(C)->Height;
}
void JWAPI ThumbSetWidth(void* C, int32_t W) {
  static_cast<TThumbTarget*>(C)->Width = W;
}
void JWAPI ThumbSetHeight(void* C, int32_t H) {
  static_cast<TThumbTarget*>(C)->Height = H;
}
void JWAPI ThumbDraw(void* C, const uint8_t* APixels, int32_t W, int32_t H, int32_t AStride) {
  auto* t = static_cast<TThumbTarget*>(C);
  if (!APixels || W <= 0 || H <= 0 || W > 8192 || H > 8192 || AStride < W * 4) return;
  t->Image = QImage(W, H, QImage::Format_ARGB32);
  for (int32_t y = 0; y < H; ++y)
    std::memcpy(t->Image.scanLine(y), APixels + size_t(y) * size_t(AStride), size_t(W) * 4);
}

void JWAPI CollectPicture(void* AContext, const char* AName, JWMemoryStream* AStream) {
  auto* list = static_cast<std::vector<TPicture>*>(AContext);
  list->push_back({AName ? AName : "", TakeStream(AStream)});
}

}  // namespace

void* JWAPI HostGetMem(int32_t ASize) {
  if (ASize < 0) return nullptr;
  auto* block = static_cast<unsigned char*>(std::malloc(kHeader + size_t(ASize)));
  if (!block) return nullptr;
  std::memcpy(block, &ASize, sizeof ASize);
  ++gLiveBlocks;
  return block + kHeader;
}

int32_t JWAPI HostFreeMem(void* P) {
  if (!P) return 0;
  std::free(static_cast<unsigned char*>(P) - kHeader);
  --gLiveBlocks;
  return 0;
}

void* JWAPI HostReallocMem(void* P, int32_t ASize) {
  if (!P) return HostGetMem(ASize);
  if (ASize <= 0) {
    HostFreeMem(P);
    return nullptr;
  }
  auto* block = static_cast<unsigned char*>(P) - kHeader;
  auto* grown = static_cast<unsigned char*>(std::realloc(block, kHeader + size_t(ASize)));
  if (!grown) return nullptr;
  std::memcpy(grown, &ASize, sizeof ASize);
  return grown + kHeader;
}

int64_t HostLiveBlocks() {
  return gLiveBlocks.load();
}

std::string TakeStream(JWMemoryStream* AStream) {
  if (!AStream) return {};
  std::string bytes;
  if (AStream->Memory && AStream->Size > 0)
    bytes.assign(reinterpret_cast<const char*>(AStream->Memory), size_t(AStream->Size));
  // The library allocated both with our routines, so our FreeMem releases them.
  HostFreeMem(AStream->Memory);
  HostFreeMem(AStream);
  return bytes;
}

std::string ToUtf8(const std::string& AText) {
  QString s;
  for (unsigned char c : AText) s += QChar(char16_t(jw::Cp1252CodePoint(c)));
  return s.toStdString();
}

bool TLibrary::Load(const std::string& APath, std::string& AError) {
  Handle = dlopen(APath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!Handle) {
    const char* why = dlerror();
    AError = "cannot load " + APath + ": " + (why ? why : "unknown reason");
    return false;
  }
  const bool ok = Resolve(Handle, "JW_SetMemoryManager", SetMemoryManager, AError) &&
                  Resolve(Handle, "JW_GetTemplateImages", GetTemplateImages, AError) &&
                  Resolve(Handle, "JW_GetHTMLText", GetHTMLText, AError) &&
                  Resolve(Handle, "JW_ShowForm", ShowForm, AError) &&
                  Resolve(Handle, "JW_GetMiniaturBitmap", GetMiniaturBitmap, AError) &&
                  Resolve(Handle, "JW_Button2Index", Button2Index, AError) &&
                  Resolve(Handle, "JW_GetButtonSet", GetButtonSet, AError) &&
                  Resolve(Handle, "JW_ButtonCaptions", ButtonCaptions, AError) &&
                  Resolve(Handle, "JW_ButtonCaption", ButtonCaption, AError) &&
                  Resolve(Handle, "JW_ButtonCount", ButtonCount, AError) &&
                  Resolve(Handle, "JW_SetJWDataPath", SetJWDataPath, AError) &&
                  Resolve(Handle, "JW_GetDLLVersion", GetDLLVersion, AError) &&
                  Resolve(Handle, "JW_GetLastError", GetLastError, AError) &&
                  Resolve(Handle, "JW_ProcessMessages", ProcessMessages, AError);
  if (!ok) return false;
  SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  return true;
}

std::string TLibrary::LastError() const {
  const char* text = GetLastError ? GetLastError() : nullptr;
  return text ? text : "";
}

bool GetTemplatePictures(const TLibrary& ALib, uint32_t AEntryId, uint32_t ATemplateId,
                         std::vector<TPicture>& APictures) {
  JWHostList list{&APictures, CollectPicture};
  return ALib.GetTemplateImages(AEntryId, ATemplateId, &list) == 1;
}

bool GetThumbnailPng(const TLibrary& ALib, uint32_t AEntryId, int32_t AWidth, std::string& APng) {
  TThumbTarget target;
  target.Width = AWidth;
  target.Height = 1;  // let the library choose the height from the window's proportions
  JWHostBitmap bitmap{&target,       ThumbGetWidth,  ThumbGetHeight,
                      ThumbSetWidth, ThumbSetHeight, ThumbDraw};
  if (ALib.GetMiniaturBitmap(AEntryId, &bitmap) != 1) return false;
  if (target.Image.isNull()) return false;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!target.Image.save(&buffer, "PNG")) return false;
  APng.assign(png.constData(), size_t(png.size()));
  return true;
}

bool ReadEntryIds(const std::string& ADataDir, std::vector<uint32_t>& AIds, std::string& AError) {
  const std::string path = ADataDir + "/" + jw::EntryDatFileName;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    AError = "cannot open " + path;
    return false;
  }
  in.seekg(0, std::ios::end);
  const auto fileSize = uint64_t(in.tellg());
  in.seekg(0);
  unsigned char head[4];
  if (!in.read(reinterpret_cast<char*>(head), 4)) {
    AError = path + " is too short";
    return false;
  }
  // Never trust the count more than the file's size.
  const uint64_t count = std::min<uint64_t>(ReadU32(head), (fileSize - 4) / 12);
  std::vector<unsigned char> index(size_t(count) * 12);
  if (count && !in.read(reinterpret_cast<char*>(index.data()), std::streamsize(index.size()))) {
    AError = path + " has a damaged index";
    return false;
  }
  AIds.clear();
  for (uint64_t i = 0; i < count; ++i)
    if (ReadU32(&index[i * 12 + 8]) != 0) AIds.push_back(ReadU32(&index[i * 12]));
  return true;
}

}  // namespace jwhost
