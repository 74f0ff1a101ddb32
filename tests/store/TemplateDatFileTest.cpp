#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "BmpGen.h"
#include "ErrorOf.h"
#include "JWTempDir.h"
#include "JpegCheck.h"
#include "store/JWETemplateDatFile.h"
#include "store/JWError.h"
#include "store/JWRecordCache.h"
#include "store/JWTemplateImages.h"
#include "tools/writer/JWTmpWriter.h"

namespace {

using jw::test::TJWTempDir;
using jwtest::ErrorOf;

bool Same(const jw::TJWBitmap& A, const jw::TJWBitmap& B) {
  return A.Width == B.Width && A.Height == B.Height && A.Pixels == B.Pixels;
}

// A template without pictures and with all numbers 0.
bool Blank(const jw::TJWTemplateRec& r) {
  return r.Image.Empty() && r.Button1.Empty() && r.Button2.Empty() && r.NavigationLeft == 0 &&
         r.BackgroundColor == 0 && r.CaptionLeft == 0;
}

class TemplateDatFile : public ::testing::Test {
 protected:
  TJWTempDir Dir;
  std::string Path = Dir.File("JWTMP.SRM");

  // Template AId with pictures and numbers derived from it, so every template looks different.
  static jw::TJWTemplateFixture Fixture(uint32_t AId) {
    const int i = int(AId);
    return {AId,
            jwtest::MakeBmp24(jwtest::Gradient(20 + i, 10)),
            jwtest::MakeBmp24(jwtest::Gradient(8, 3 + i)),
            jwtest::MakeBmp24(jwtest::Gradient(9, 4 + i)),
            500 + i,
            0x00102030u + AId,
            30 - i};
  }
  static void ExpectTemplate(const jw::TJWTemplateRec& r, uint32_t AId) {
    const int i = int(AId);
    EXPECT_TRUE(Same(r.Image, jwtest::Gradient(20 + i, 10)) &&
                Same(r.Button1, jwtest::Gradient(8, 3 + i)) &&
                Same(r.Button2, jwtest::Gradient(9, 4 + i)))
        << AId;
    EXPECT_EQ(std::tuple(r.NavigationLeft, r.BackgroundColor, r.CaptionLeft),
              std::tuple(500 + i, 0x00102030u + AId, 30 - i))
        << AId;
  }
  void Write(std::initializer_list<uint32_t> AIds, uint32_t ADefault) {
    jw::TJWTmpWriter w(Path);
    for (uint32_t id : AIds) w.Add(Fixture(id));
    w.SetDefaultId(ADefault);
    w.Finish();
  }
};

// Header, index and templates by identifier. The last one asked for is cached: the cache outlives
// Close, and a missing file proves that no read happened.
TEST_F(TemplateDatFile, TemplatesByIdentifierAndTheCache) {
  Write({3, 1, 7}, 1);
  jw::TJWETemplateDatFile templates(Path);
  EXPECT_FALSE(templates.IsOpen());
  jw::TJWTemplateRec r;
  templates.GetTemplate(7, r);
  EXPECT_TRUE(templates.IsOpen());
  EXPECT_EQ(templates.GetCount(), 3);
  EXPECT_EQ(templates.GetDefaultId(), 1u);
  EXPECT_EQ(templates.GetDataStart(), 12u + 3 * 40);
  ExpectTemplate(r, 7);
  templates.GetTemplate(3, r);
  r.Image.Pixels[0] = 0;  // the receiver's copy, not the cache's
  std::filesystem::remove(Path);
  templates.Close();
  templates.GetTemplate(3, r);
  ExpectTemplate(r, 3);
  EXPECT_FALSE(templates.IsOpen());
  jw::TJWETemplateDatFile::FreeTemplate(r);
  EXPECT_TRUE(Blank(r));

  // An absent identifier gets the default template, and keeps getting it from the cache.
  Write({3, 1, 7}, 1);
  for (int pass = 0; pass < 2; ++pass) {
    templates.GetTemplate(42, r);
    ExpectTemplate(r, 1);
    std::filesystem::remove(Path);
    templates.Close();
  }
  EXPECT_EQ(ErrorOf([&] { templates.GetTemplate(3, r); }),
            "Datei \"" + Path + "\" nicht gefunden!");
}

TEST_F(TemplateDatFile, HeaderChecksShortFilesAndAbsentDefaults) {
  jw::TJWETemplateDatFile templates(Path);
  jw::TJWTemplateRec r;
  {
    jw::TJWTmpWriter w(Path);
    w.Add(Fixture(1));
    w.SetEntrySize(41);
    w.Finish();
  }
  EXPECT_EQ(ErrorOf([&] { templates.GetTemplate(1, r); }), "JWTMP: Wrong Filesize!");
  EXPECT_FALSE(templates.IsOpen());
  for (uintmax_t size : {0, 4, 11}) {  // no complete header
    Write({1}, 1);
    std::filesystem::resize_file(Path, size);
    EXPECT_EQ(ErrorOf([&] { templates.Open(); }), "JWTMP: Wrong Filesize!") << size;
  }

  // Count promises more entries than the file holds: only complete entries are read.
  Write({1, 2}, 1);
  std::filesystem::resize_file(Path, 12 + 40 + 39);
  templates.Open();
  EXPECT_EQ(templates.GetCount(), 1);
  EXPECT_EQ(templates.GetIndex()[0].Id, 1u);
  EXPECT_EQ(templates.GetDataStart(), 52u);
  EXPECT_EQ(ErrorOf([&] { templates.Open(); }), "File already open!");
  templates.SetFileName(Path);  // the same name keeps the reader open
  EXPECT_TRUE(templates.IsOpen());
  templates.SetFileName(Dir.File("OTHER.SRM"));
  EXPECT_FALSE(templates.IsOpen());

  // An absent default gives an empty template, and so does a file without templates.
  Write({3}, 9);
  jw::TJWETemplateDatFile absent(Path);
  absent.GetTemplate(3, r);
  absent.GetTemplate(5, r);
  EXPECT_TRUE(Blank(r));
  absent.GetTemplate(9, r);
  EXPECT_TRUE(Blank(r));
  Write({}, 1);
  jw::TJWETemplateDatFile none(Path);
  none.GetTemplate(1, r);
  EXPECT_TRUE(Blank(r));
  EXPECT_EQ(none.GetCount(), 0);
}

TEST_F(TemplateDatFile, BrokenPictureFailsAndKeepsTheCache) {
  jw::TJWTmpWriter w(Path);
  w.Add(Fixture(1));
  jw::TJWTemplateEntry broken;
  broken.Id = 2;
  std::tie(broken.ImageOffset, broken.ImageSize) = w.AddData({'B', 'M', 1, 2, 3});
  w.AddEntry(broken);
  jw::TJWTemplateEntry noPictures;  // size 0 everywhere: a template without pictures
  noPictures.Id = 3;
  noPictures.NavigationLeft = 17;
  w.AddEntry(noPictures);
  w.Finish();

  jw::TJWETemplateDatFile templates(Path);
  jw::TJWTemplateRec r;
  templates.GetTemplate(1, r);
  EXPECT_EQ(ErrorOf([&] { templates.GetTemplate(2, r); }), "BMP: not a bitmap file");
  std::filesystem::remove(Path);
  templates.Close();
  templates.GetTemplate(1, r);  // still cached
  ExpectTemplate(r, 1);

  w.Finish();
  templates.GetTemplate(3, r);
  r.NavigationLeft -= 17;
  EXPECT_TRUE(Blank(r));
  // Offsets are relative to the data area; past the end nothing decodes.
  EXPECT_EQ(ErrorOf([&] { templates.LoadImage(1u << 30, 100); }), "BMP: not a bitmap file");
}

// Three template pictures that would each take 1 GiB decoded, and three that each fit but
// together go over the template's budget: refused, naming the file and the template.
TEST_F(TemplateDatFile, PicturesOverThePixelLimitsAreRefused) {
  jw::TJWTmpWriter w(Path);
  const std::vector<uint8_t> huge = jwtest::MakeBlankBmp1(16384, 16384);
  w.Add({.Id = 4, .Image = huge, .Button1 = huge, .Button2 = huge});
  w.Add({.Id = 5,
         .Image = jwtest::MakeBlankBmp1(4096, 2048),
         .Button1 = jwtest::MakeBlankBmp1(4096, 1024),
         .Button2 = jwtest::MakeBlankBmp1(2, 1)});
  w.Add({.Id = 6,
         .Image = jwtest::MakeBlankBmp1(4096, 2048),
         .Button1 = jwtest::MakeBlankBmp1(4096, 1024),
         .Button2 = {}});
  w.Finish();
  jw::TJWETemplateDatFile templates(Path);
  jw::TJWTemplateRec r;
  const std::string prefix = "Datei \"" + Path + "\": Vorlage #";
  EXPECT_EQ(ErrorOf([&] { templates.GetTemplate(4, r); }),
            prefix + "4 ist zu gro\xDF (16384 x 16384 Pixel)!");
  EXPECT_EQ(ErrorOf([&] { templates.GetTemplate(5, r); }),
            prefix + "5 ist zu gro\xDF (2 x 1 Pixel)!");
  templates.GetTemplate(6, r);  // exactly the budget
  EXPECT_EQ(r.Image.Pixels.size() + r.Button1.Pixels.size(), jw::limits::MaxTemplatePixels);
}

TEST(TemplateImages, ItemsInOrderEachOnlyWhenItsPictureExists) {
  jw::TJWTemplateRec t;
  t.Image = jwtest::Gradient(30, 20);
  t.Button2 = jwtest::Gradient(12, 5);
  const jw::TJWBitmap logo = jwtest::Gradient(16, 16);
  std::vector<std::string> names;
  jw::TJWTemplateImages images;
  auto collect = [&](const char* AName, const std::vector<uint8_t>& AJpeg) {
    names.push_back(AName);
    EXPECT_TRUE(jwtest::ReadJpeg(AJpeg).Ok);
  };
  images.Build(t, &logo, collect);
  EXPECT_EQ(names, (std::vector<std::string>{"template.jpg", "button2.jpg", "logo.jpg"}));
  EXPECT_TRUE(images.GetButton1().empty());
  EXPECT_EQ(jwtest::ReadJpeg(images.GetLogo()).Picture.Width, 16);

  // A picture that cannot be encoded stops the run; what came before it was delivered.
  names.clear();
  t.Button1 = jwtest::Gradient(4, 4);
  t.Button2.Pixels.pop_back();
  EXPECT_THROW(images.Build(t, nullptr, collect), jw::EJWError);
  EXPECT_EQ(names, (std::vector<std::string>{"template.jpg", "button1.jpg"}));
}

// Sizes and numbers come without decoding: the record cache then holds only a few bytes per
// picture, and the answer matches the decoded template's.
TEST_F(TemplateDatFile, InfoAnswersWithoutDecodingPixels) {
  Write({3, 1, 7}, 1);
  jw::TJWRecordCache& cache = jw::TJWRecordCache::Instance();
  cache.Clear();
  jw::TJWETemplateDatFile templates(Path);
  const jw::TJWTemplateInfo info = templates.GetInfo(42);  // the default, template 1
  const size_t pixelBytes = (21 * 10 + 8 * 4 + 9 * 5) * sizeof(uint32_t);
  const size_t infoBytes = cache.Bytes();
  EXPECT_LT(infoBytes, pixelBytes);
  templates.GetPictures(42);
  EXPECT_GE(cache.Bytes() - infoBytes, pixelBytes);
  EXPECT_EQ(std::tuple(info.Image, info.Button1, info.Button2, info.NavigationLeft,
                       info.BackgroundColor, info.CaptionLeft),
            std::tuple(jw::TJWPictureSize{21, 10}, jw::TJWPictureSize{8, 4},
                       jw::TJWPictureSize{9, 5}, 501, 0x00102031u, 29));

  // Decoded pictures are shared, not copied, by every reader of the same file version.
  jw::TJWETemplateDatFile other(Path);
  EXPECT_EQ(templates.GetPictures(7)->Image, other.GetPictures(7)->Image);
  EXPECT_EQ(templates.GetInfo(7).Image, (jw::TJWPictureSize{27, 10}));
}

// Many large templates through a small bound: the cache never holds more than the bound, and every
// answer is still right.
TEST_F(TemplateDatFile, RecordCacheHonoursItsBound) {
  jw::TJWTmpWriter w(Path);
  for (uint32_t id = 1; id <= 24; ++id) {
    jw::TJWTemplateFixture t;
    t.Id = id;
    t.Image = jwtest::MakeBmp24(jwtest::Gradient(300 + int(id), 200));  // about 240 KB decoded
    w.Add(t);
  }
  w.Finish();
  jw::TJWRecordCache& cache = jw::TJWRecordCache::Instance();
  const size_t bound = cache.Bound();
  cache.Clear();
  cache.SetBound(1u << 20);
  jw::TJWETemplateDatFile templates(Path);
  for (int round = 0; round < 2; ++round)
    for (uint32_t id = 1; id <= 24; ++id) {
      const auto t = templates.GetPictures(id);
      EXPECT_EQ(t->Image->Width, 300 + int(id));
      EXPECT_LE(cache.Bytes(), cache.Bound());
    }
  EXPECT_GE(cache.Count(), 3u);  // the most recent ones stay

  // A record larger than the whole bound is handed out but not kept.
  cache.SetBound(100 * 1024);
  EXPECT_LE(cache.Bytes(), cache.Bound());
  jw::TJWETemplateDatFile again(Path);
  EXPECT_EQ(again.GetPictures(5)->Image->Width, 305);
  EXPECT_LE(cache.Bytes(), cache.Bound());
  cache.SetBound(bound);
  cache.Clear();
}

}  // namespace
