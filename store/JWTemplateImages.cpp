#include "store/JWTemplateImages.h"

#include "store/JWJpegEncode.h"

namespace jw {

void TJWTemplateImages::Build(const TJWTemplateRec& ATemplate, const TJWBitmap* ALogo,
                              const TAppend& AAppend) {
  Build(&ATemplate.Image, &ATemplate.Button1, &ATemplate.Button2, ALogo, AAppend);
}

void TJWTemplateImages::Build(const TJWTemplatePictures& ATemplate, const TJWBitmap* ALogo,
                              const TAppend& AAppend) {
  Build(ATemplate.Image.get(), ATemplate.Button1.get(), ATemplate.Button2.get(), ALogo, AAppend);
}

void TJWTemplateImages::Build(const TJWBitmap* AImage, const TJWBitmap* AButton1,
                              const TJWBitmap* AButton2, const TJWBitmap* ALogo,
                              const TAppend& AAppend) {
  const struct {
    const TJWBitmap* Source;
    std::vector<uint8_t>* Target;
    const char* Name;
  } items[] = {
      {AImage, &FTemplate, TemplateName},
      {AButton1, &FButton1, Button1Name},
      {AButton2, &FButton2, Button2Name},
      {ALogo, &FLogo, LogoName},
  };
  for (const auto& item : items) item.Target->clear();
  for (const auto& item : items) {
    if (item.Source == nullptr || item.Source->Empty()) continue;
    *item.Target = EncodeJpeg(*item.Source, JpegQuality);
    AAppend(item.Name, *item.Target);
  }
}

}  // namespace jw
