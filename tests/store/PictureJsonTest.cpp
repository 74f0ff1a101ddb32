#include <gtest/gtest.h>

#include <fstream>

#include "BmpGen.h"
#include "JWTempDir.h"
#include "JpegCheck.h"
#include "store/JWELogoDatFile.h"
#include "store/JWETemplateDatFile.h"
#include "store/JWError.h"
#include "tools/writer/JWPictureJson.h"

namespace {

using jw::TJWJson;
using jw::test::TJWTempDir;

void WriteFile(const std::string& APath, const std::vector<uint8_t>& ABytes) {
  std::ofstream(APath, std::ios::binary)
      .write(reinterpret_cast<const char*>(ABytes.data()), std::streamsize(ABytes.size()));
}

TEST(PictureJson, LogosAndTemplatesFromADescription) {
  TJWTempDir dir;
  std::filesystem::create_directory(dir.Path() / "art");
  WriteFile(dir.File("art/a.bmp"), jwtest::MakeBmp24(jwtest::Gradient(4, 3)));
  WriteFile(dir.File("art/b.bmp"), jwtest::MakeBmp24(jwtest::Gradient(6, 2)));
  const TJWJson source = TJWJson::parse(R"({
    "DefaultTemplate": 2,
    "Templates": [{"Id": 2, "Image": "art/a.bmp", "Button2": "art/b.bmp", "NavigationLeft": 561,
                   "BackgroundColor": "#F3E4D0", "CaptionLeft": -3}],
    "Entries": [{"Id": 7, "Logo": "art/a.bmp"}, {"Id": 8}, {"Id": 9, "Logo": "art/a.bmp"},
                {"Id": 10, "Logo": "art/b.bmp"}]})");

  EXPECT_EQ(
      jw::WriteLogosFromJson(source, dir.Path().string(), dir.File("JWIMG.SRM"), jw::LoadBmpFile),
      3u);
  jw::TJWELogoDatFile logos(dir.File("JWIMG.SRM"));
  EXPECT_EQ(logos.GetLogo(9)->Width, 4);
  EXPECT_EQ(logos.GetLogo(10)->Width, 6);
  EXPECT_EQ(logos.GetLogo(8), nullptr);
  EXPECT_FALSE(logos.ReadImage(1).empty());
  EXPECT_THROW(logos.ReadImage(2), jw::EJWError);  // a.bmp is stored once for 7 and 9

  EXPECT_EQ(jw::WriteTemplatesFromJson(source, dir.Path().string(), dir.File("JWTMP.SRM"),
                                       jw::LoadBmpFile),
            1u);
  jw::TJWETemplateDatFile templates(dir.File("JWTMP.SRM"));
  jw::TJWTemplateRec t;
  templates.GetTemplate(5, t);  // absent: the default
  EXPECT_EQ(t.Image.Width, 4);
  EXPECT_TRUE(t.Button1.Empty());
  EXPECT_EQ(t.Button2.Width, 6);
  EXPECT_EQ(t.NavigationLeft, 561);
  EXPECT_EQ(t.BackgroundColor, 0x00D0E4F3u);
  EXPECT_EQ(t.CaptionLeft, -3);
}

TEST(PictureJson, RefusesWhatCannotBePacked) {
  TJWTempDir dir;
  WriteFile(dir.File("p.png"), {0x89, 'P', 'N', 'G'});
  auto templates = [&](const char* AJson) {
    jw::WriteTemplatesFromJson(TJWJson::parse(AJson), dir.Path().string(), dir.File("JWTMP.SRM"),
                               jw::LoadBmpFile);
  };
  EXPECT_THROW(templates(R"({"Templates": [{"Id": 1, "Image": "p.png"}]})"), jw::EJWError);
  EXPECT_THROW(templates(R"({"Templates": [{"Id": 1, "Image": "missing.bmp"}]})"), jw::EJWError);
  EXPECT_THROW(templates(R"({"Templates": [{"Id": 1, "BackgroundColor": "red"}]})"), jw::EJWError);
  EXPECT_THROW(templates(R"({"Templates": [{"Id": 1, "NavigationLeft": "x"}]})"), jw::EJWError);
  EXPECT_EQ(jw::ColorFromJson(TJWJson(0x123456u)), 0x123456u);
}

}  // namespace
