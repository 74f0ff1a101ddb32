#include "store/JWETemplateDatFile.h"

#include <algorithm>

#include "store/JWBmpDecode.h"
#include "store/JWDatFileIO.h"
#include "store/JWError.h"
#include "store/JWRecordCache.h"

namespace jw {

namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

TJWTemplateEntry ParseEntry(const uint8_t* p) {
  TJWTemplateEntry e;
  e.Id = Le32(p);
  e.ImageOffset = Le32(p + 4);
  e.ImageSize = Le32(p + 8);
  e.Button1Offset = Le32(p + 12);
  e.Button1Size = Le32(p + 16);
  e.Button2Offset = Le32(p + 20);
  e.Button2Size = Le32(p + 24);
  e.NavigationLeft = int32_t(Le32(p + 28));
  e.BackgroundColor = Le32(p + 32);
  e.CaptionLeft = int32_t(Le32(p + 36));
  return e;
}

}  // namespace

TJWETemplateDatFile::TJWETemplateDatFile(const std::string& AFileName)
    : FStream(std::make_unique<TJWDatFileIO>()), FFileName(ResolveDataFileName(AFileName)) {}

TJWETemplateDatFile::~TJWETemplateDatFile() = default;

void TJWETemplateDatFile::SetFileName(const std::string& AFileName) {
  if (AFileName == FFileName) return;
  Close();
  FFileName = AFileName;
}

void TJWETemplateDatFile::SetFolder(std::shared_ptr<TJWFolderView> AFolder,
                                    const std::string& ARelative) {
  FStream->SetFolder(std::move(AFolder), ARelative);
}

bool TJWETemplateDatFile::IsOpen() const {
  return FStream->IsOpen();
}

void TJWETemplateDatFile::Open() {
  FStream->Open(FFileName);
  try {
    uint8_t head[HeaderSize];
    if (FStream->ReadAt(0, head, HeaderSize) < HeaderSize || Le32(head + 4) != EntrySize)
      throw EJWError("JWTMP: Wrong Filesize!");
    const uint32_t count = Le32(head);
    FDefaultId = Le32(head + 8);
    // Entries up to Count or the end of the file, whichever comes first; a cut entry is dropped.
    const std::vector<uint8_t> index = FStream->ReadBytes(HeaderSize, uint64_t(count) * EntrySize);
    FIndex.clear();
    FIndex.reserve(index.size() / EntrySize);
    for (size_t i = 0; i + EntrySize <= index.size(); i += EntrySize)
      FIndex.push_back(ParseEntry(&index[i]));
    FDataStart = HeaderSize + uint64_t(FIndex.size()) * EntrySize;
  } catch (...) {
    Close();
    throw;
  }
}

void TJWETemplateDatFile::Close() {
  FIndex.clear();
  FDataStart = 0;
  FStream->Close();
}

const TJWTemplateEntry* TJWETemplateDatFile::Find(uint32_t AId) const {
  const auto it = std::find_if(FIndex.begin(), FIndex.end(),
                               [AId](const TJWTemplateEntry& e) { return e.Id == AId; });
  return it == FIndex.end() ? nullptr : &*it;
}

const TJWTemplateEntry* TJWETemplateDatFile::Resolve(uint32_t AId) {
  if (!IsOpen()) Open();
  if (const TJWTemplateEntry* e = Find(AId)) return e;
  return AId != FDefaultId ? Find(FDefaultId) : nullptr;
}

std::shared_ptr<const TJWTemplatePictures> TJWETemplateDatFile::GetPictures(uint32_t AId) {
  if (FCached && FCachedId == AId) return FCached;
  auto t = std::make_shared<TJWTemplatePictures>();
  if (const TJWTemplateEntry* e = Resolve(AId)) {
    // All three before the cache is touched, so a picture that fails to decode leaves it as it
    // was. They share one budget of pixels, checked from each header before decoding.
    uint64_t pixelsLeft = limits::MaxTemplatePixels;
    auto load = [&](uint32_t AOffset, uint32_t ASize) {
      auto picture = SharedImage(AOffset, ASize, std::min(pixelsLeft, limits::MaxPicturePixels));
      const uint64_t pixels = picture->Pixels.size();
      // A picture decoded earlier for another template may not fit what this one has left.
      if (pixels > pixelsLeft) throw EJWPictureTooLarge(picture->Width, picture->Height);
      pixelsLeft -= pixels;
      return picture;
    };
    try {
      t->Image = load(e->ImageOffset, e->ImageSize);
      t->Button1 = load(e->Button1Offset, e->Button1Size);
      t->Button2 = load(e->Button2Offset, e->Button2Size);
    } catch (const EJWPictureTooLarge& tooLarge) {
      ThrowTooLarge(*e, tooLarge.Width, tooLarge.Height);
    }
    t->NavigationLeft = e->NavigationLeft;
    t->BackgroundColor = e->BackgroundColor;
    t->CaptionLeft = e->CaptionLeft;
  } else {
    t->Image = t->Button1 = t->Button2 = SharedImage(0, 0, 0);
  }
  FCached = std::move(t);
  FCachedId = AId;
  return FCached;
}

TJWTemplateInfo TJWETemplateDatFile::GetInfo(uint32_t AId) {
  TJWTemplateInfo info;
  auto size = [](const TJWBitmap& ABitmap) {
    return TJWPictureSize{ABitmap.Width, ABitmap.Height};
  };
  if (FCached && FCachedId == AId) {
    info.Image = size(*FCached->Image);
    info.Button1 = size(*FCached->Button1);
    info.Button2 = size(*FCached->Button2);
    info.NavigationLeft = FCached->NavigationLeft;
    info.BackgroundColor = FCached->BackgroundColor;
    info.CaptionLeft = FCached->CaptionLeft;
  } else if (const TJWTemplateEntry* e = Resolve(AId)) {
    try {
      info.Image = ImageSize(e->ImageOffset, e->ImageSize);
      info.Button1 = ImageSize(e->Button1Offset, e->Button1Size);
      info.Button2 = ImageSize(e->Button2Offset, e->Button2Size);
    } catch (const EJWPictureTooLarge& tooLarge) {
      ThrowTooLarge(*e, tooLarge.Width, tooLarge.Height);
    }
    uint64_t pixelsLeft = limits::MaxTemplatePixels;
    for (const TJWPictureSize& size : {info.Image, info.Button1, info.Button2}) {
      const uint64_t pixels = uint64_t(size.Width) * uint64_t(size.Height);
      if (pixels > pixelsLeft) ThrowTooLarge(*e, size.Width, size.Height);
      pixelsLeft -= pixels;
    }
    info.NavigationLeft = e->NavigationLeft;
    info.BackgroundColor = e->BackgroundColor;
    info.CaptionLeft = e->CaptionLeft;
  }
  return info;
}

void TJWETemplateDatFile::GetTemplate(uint32_t AId, TJWTemplateRec& ATemplate) {
  if (!FCached || FCachedId != AId) {
    if (!IsOpen()) Open();
    FreeTemplate(ATemplate);  // a picture that fails leaves no half-filled record
  }
  const std::shared_ptr<const TJWTemplatePictures> t = GetPictures(AId);
  ATemplate.Image = *t->Image;
  ATemplate.Button1 = *t->Button1;
  ATemplate.Button2 = *t->Button2;
  ATemplate.NavigationLeft = t->NavigationLeft;
  ATemplate.BackgroundColor = t->BackgroundColor;
  ATemplate.CaptionLeft = t->CaptionLeft;
}

platform::TFileIdentity TJWETemplateDatFile::FileIdentity() const {
  return FStream->IsOpen() ? FStream->Identity() : platform::TFileIdentity{};
}

std::shared_ptr<const TJWBitmap> TJWETemplateDatFile::SharedImage(uint32_t AOffset, uint32_t ASize,
                                                                  uint64_t AMaxPixels) {
  static const auto none = std::make_shared<const TJWBitmap>();
  if (!IsOpen()) Open();
  if (ASize == 0) return none;
  auto decode = [&] {
    return std::make_shared<const TJWBitmap>(LoadImage(AOffset, ASize, AMaxPixels));
  };
  const std::string key = PictureKey('P', FStream->Identity(), AOffset, ASize);
  if (key.empty()) return decode();
  return TJWRecordCache::Instance().Get<TJWBitmap>(key, decode, BitmapBytes);
}

TJWPictureSize TJWETemplateDatFile::ImageSize(uint32_t AOffset, uint32_t ASize) {
  if (!IsOpen()) Open();
  if (ASize == 0) return TJWPictureSize{};
  const std::string key = PictureKey('S', FStream->Identity(), AOffset, ASize);
  auto inspect = [&] {
    // A picture decoded already answers without another look at the file.
    if (!key.empty())
      if (auto decoded = TJWRecordCache::Instance().Find<TJWBitmap>(
              PictureKey('P', FStream->Identity(), AOffset, ASize)))
        return std::make_shared<const TJWPictureSize>(
            TJWPictureSize{decoded->Width, decoded->Height});
    const std::vector<uint8_t> packed = FStream->ReadBytes(FDataStart + AOffset, ASize);
    return std::make_shared<const TJWPictureSize>(InspectDeflatedBmp(packed));
  };
  if (key.empty()) return *inspect();
  return *TJWRecordCache::Instance().Get<TJWPictureSize>(
      key, inspect, [](const TJWPictureSize&) { return sizeof(TJWPictureSize); });
}

void TJWETemplateDatFile::ThrowTooLarge(const TJWTemplateEntry& AEntry, int32_t AWidth,
                                        int32_t AHeight) const {
  throw EJWError("Datei \"" + FFileName + "\": Vorlage #" + std::to_string(int32_t(AEntry.Id)) +
                 " ist zu gro\xDF (" + std::to_string(AWidth) + " x " + std::to_string(AHeight) +
                 " Pixel)!");
}

void TJWETemplateDatFile::FreeTemplate(TJWTemplateRec& ATemplate) {
  ATemplate = TJWTemplateRec{};
}

TJWBitmap TJWETemplateDatFile::LoadImage(uint32_t AOffset, uint32_t ASize, uint64_t AMaxPixels) {
  if (!IsOpen()) Open();
  if (ASize == 0) return TJWBitmap{};
  const std::vector<uint8_t> packed = FStream->ReadBytes(FDataStart + AOffset, ASize);
  return DecodeDeflatedBmp(packed, AMaxPixels);
}

}  // namespace jw
