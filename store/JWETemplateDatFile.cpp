#include "store/JWETemplateDatFile.h"

#include <algorithm>

#include "store/JWBmpDecode.h"
#include "store/JWDatFileIO.h"
#include "store/JWError.h"

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

void TJWETemplateDatFile::GetTemplate(uint32_t AId, TJWTemplateRec& ATemplate) {
  if (FCachedId == AId) {
    ATemplate = FCached;  // copies: the cache keeps its own pictures
    return;
  }
  if (!IsOpen()) Open();
  FreeTemplate(ATemplate);
  if (const TJWTemplateEntry* e = Find(AId)) {
    // Load all three before touching the result or the cache, so a picture that fails to decode
    // leaves neither half-filled.
    // The three pictures share one budget of pixels, checked from each header before decoding.
    TJWTemplateRec t;
    uint64_t pixelsLeft = limits::MaxTemplatePixels;
    auto load = [&](uint32_t AOffset, uint32_t ASize) {
      TJWBitmap picture = LoadImage(AOffset, ASize, std::min(pixelsLeft, limits::MaxPicturePixels));
      pixelsLeft -= picture.Pixels.size();
      return picture;
    };
    try {
      t.Image = load(e->ImageOffset, e->ImageSize);
      t.Button1 = load(e->Button1Offset, e->Button1Size);
      t.Button2 = load(e->Button2Offset, e->Button2Size);
    } catch (const EJWPictureTooLarge& tooLarge) {
      throw EJWError("Datei \"" + FFileName + "\": Vorlage #" + std::to_string(int32_t(e->Id)) +
                     " ist zu gro\xDF (" + std::to_string(tooLarge.Width) + " x " +
                     std::to_string(tooLarge.Height) + " Pixel)!");
    }
    t.NavigationLeft = e->NavigationLeft;
    t.BackgroundColor = e->BackgroundColor;
    t.CaptionLeft = e->CaptionLeft;
    FCached = t;
    ATemplate = std::move(t);
  } else if (AId != FDefaultId) {
    GetTemplate(FDefaultId, ATemplate);  // caches the default (or an empty template)
  } else {
    // The default itself is absent: an empty template rather than another search.
    FCached = TJWTemplateRec{};
  }
  FCachedId = AId;
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
