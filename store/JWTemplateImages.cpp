#include "store/JWTemplateImages.h"

#include "store/JWJpegEncode.h"

namespace jw {

void TJWTemplateImages::Build(const TJWTemplateRec& ATemplate, const TJWBitmap* ALogo,
                              const TAppend& AAppend) {
  const struct {
    const TJWBitmap* Source;
    std::vector<uint8_t>* Target;
    const char* Name;
  } items[] = {
      {&ATemplate.Image, &FTemplate, TemplateName},
      {&ATemplate.Button1, &FButton1, Button1Name},
      {&ATemplate.Button2, &FButton2, Button2Name},
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
