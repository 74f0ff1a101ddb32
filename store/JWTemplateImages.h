#pragma once
// A template's pictures and an entry's logo as JPEG files, in the order hosts receive them.
#include <cstdint>
#include <functional>
#include <vector>

#include "store/JWBitmap.h"
#include "store/JWETemplateDatFile.h"

namespace jw {

class TJWTemplateImages {
 public:
  // File names of the items; they live as long as the program.
  static constexpr const char* TemplateName = "template.jpg";
  static constexpr const char* Button1Name = "button1.jpg";
  static constexpr const char* Button2Name = "button2.jpg";
  static constexpr const char* LogoName = "logo.jpg";

  // Receives one finished item; AName is one of the names above.
  using TAppend = std::function<void(const char* AName, const std::vector<uint8_t>& AJpeg)>;

  // Encodes background, button 1, button 2 and logo, in this order and each only when the picture
  // exists (ALogo may be null), and hands every file to AAppend as soon as it is encoded: when a
  // later picture fails, the earlier ones have been delivered already.
  void Build(const TJWTemplateRec& ATemplate, const TJWBitmap* ALogo, const TAppend& AAppend);
  void Build(const TJWTemplatePictures& ATemplate, const TJWBitmap* ALogo, const TAppend& AAppend);

  // The files of the last Build (empty for a picture that did not exist).
  const std::vector<uint8_t>& GetTemplate() const { return FTemplate; }
  const std::vector<uint8_t>& GetButton1() const { return FButton1; }
  const std::vector<uint8_t>& GetButton2() const { return FButton2; }
  const std::vector<uint8_t>& GetLogo() const { return FLogo; }

 private:
  void Build(const TJWBitmap* AImage, const TJWBitmap* AButton1, const TJWBitmap* AButton2,
             const TJWBitmap* ALogo, const TAppend& AAppend);
  std::vector<uint8_t> FTemplate, FButton1, FButton2, FLogo;
};

}  // namespace jw
