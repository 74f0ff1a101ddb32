#pragma once
// Reader of the template data file ("JWTMP.SRM"): the look of an entry's presentation, i.e. the
// background picture, the two navigation button pictures, the navigation bar's left position, the
// background colour and the caption offset on the buttons.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/JWBitmap.h"
#include "store/JWLimits.h"
#include "store/JWPlatform.h"

namespace jw {

class TJWDatFileIO;
class TJWFolderView;

// One template as a lookup delivers it. The receiver owns the pictures; an empty bitmap means
// the template has no such picture (a template file without the requested and the default
// template delivers an entirely empty record).
struct TJWTemplateRec {
  TJWBitmap Image;    // background of the viewer window
  TJWBitmap Button1;  // a navigation button
  TJWBitmap Button2;  // the last (closing) navigation button
  int32_t NavigationLeft = 0;
  uint32_t BackgroundColor = 0;  // 0x00BBGGRR
  int32_t CaptionLeft = 0;
};

// One template as the process shares it: decoded once, never changed, never copied. A picture the
// template does not have is an empty bitmap, never null.
struct TJWTemplatePictures {
  std::shared_ptr<const TJWBitmap> Image;
  std::shared_ptr<const TJWBitmap> Button1;
  std::shared_ptr<const TJWBitmap> Button2;
  int32_t NavigationLeft = 0;
  uint32_t BackgroundColor = 0;  // 0x00BBGGRR
  int32_t CaptionLeft = 0;
};

// What a template says without its pixels: the pictures' sizes and the numbers.
struct TJWTemplateInfo {
  TJWPictureSize Image;
  TJWPictureSize Button1;
  TJWPictureSize Button2;
  int32_t NavigationLeft = 0;
  uint32_t BackgroundColor = 0;
  int32_t CaptionLeft = 0;
};

// One 40-byte template entry of the file's index.
struct TJWTemplateEntry {
  uint32_t Id = 0;
  uint32_t ImageOffset = 0;  // relative to the data area
  uint32_t ImageSize = 0;    // compressed length; 0 = no picture
  uint32_t Button1Offset = 0;
  uint32_t Button1Size = 0;
  uint32_t Button2Offset = 0;
  uint32_t Button2Size = 0;
  int32_t NavigationLeft = 0;
  uint32_t BackgroundColor = 0;
  int32_t CaptionLeft = 0;
};

class TJWETemplateDatFile {
 public:
  static constexpr uint32_t EntrySize = 40;
  static constexpr size_t HeaderSize = 12;

  // A name without a directory is taken from the current directory. Does not open the file.
  explicit TJWETemplateDatFile(const std::string& AFileName);
  ~TJWETemplateDatFile();
  TJWETemplateDatFile(const TJWETemplateDatFile&) = delete;
  TJWETemplateDatFile& operator=(const TJWETemplateDatFile&) = delete;

  const std::string& GetFileName() const { return FFileName; }
  // Closes the reader when the name differs and stores it unchanged.
  void SetFileName(const std::string& AFileName);
  // Opens the file as ARelative inside AFolder (a call's view of the data folder); the file name
  // only names it in messages. Null goes back to opening by name.
  void SetFolder(std::shared_ptr<TJWFolderView> AFolder, const std::string& ARelative);

  bool IsOpen() const;
  // Opens the file and reads header and index. Fails with the data files' three messages, or with
  // "JWTMP: Wrong Filesize!" when the header is short or its entry size is not 40.
  void Open();
  // Releases the file and the index; the next lookup opens the file again. Keeps the cache.
  void Close();

  // The template AId, or the file's default template when AId is absent, or an empty template
  // when the default is absent too. The last template delivered is kept: asking again for the
  // same identifier costs no file access. Pictures are decoded once per version of the file and
  // shared through the process's record cache.
  std::shared_ptr<const TJWTemplatePictures> GetPictures(uint32_t AId);
  // The same template's sizes and numbers, failing where GetPictures would fail, but without
  // decoding a pixel.
  TJWTemplateInfo GetInfo(uint32_t AId);
  // GetPictures copied into a record the caller owns. Pictures beyond the pixel limits fail with a
  // message naming the file and the template.
  void GetTemplate(uint32_t AId, TJWTemplateRec& ATemplate);
  // Releases the pictures of ATemplate and zeroes its numbers.
  static void FreeTemplate(TJWTemplateRec& ATemplate);
  // Reads ASize compressed bytes at AOffset in the data area and decodes the bitmap file they
  // hold. ASize 0 yields an empty bitmap (no picture). A picture over AMaxPixels fails with
  // EJWPictureTooLarge before its pixels are inflated.
  TJWBitmap LoadImage(uint32_t AOffset, uint32_t ASize,
                      uint64_t AMaxPixels = limits::MaxPicturePixels);

  // Who the open file is (all zero when closed).
  platform::TFileIdentity FileIdentity() const;

  // Filled by Open.
  int32_t GetCount() const { return int32_t(FIndex.size()); }
  uint32_t GetDefaultId() const { return FDefaultId; }
  uint64_t GetDataStart() const { return FDataStart; }
  const std::vector<TJWTemplateEntry>& GetIndex() const { return FIndex; }

 private:
  const TJWTemplateEntry* Find(uint32_t AId) const;
  // The index entry AId resolves to (the default for an absent one), null for an empty template.
  const TJWTemplateEntry* Resolve(uint32_t AId);
  std::shared_ptr<const TJWBitmap> SharedImage(uint32_t AOffset, uint32_t ASize,
                                               uint64_t AMaxPixels);
  TJWPictureSize ImageSize(uint32_t AOffset, uint32_t ASize);
  // A template's three pictures share one pixel budget; both the pictures and their sizes are
  // refused over it with the same message.
  [[noreturn]] void ThrowTooLarge(const TJWTemplateEntry& AEntry, int32_t AWidth,
                                  int32_t AHeight) const;

  std::unique_ptr<TJWDatFileIO> FStream;
  std::string FFileName;
  uint64_t FDataStart = 0;
  uint32_t FDefaultId = 1;
  std::vector<TJWTemplateEntry> FIndex;
  std::shared_ptr<const TJWTemplatePictures> FCached;
  std::optional<uint32_t> FCachedId;  // none until a template was delivered
};

}  // namespace jw
