// The logo and template files, their readers and the packer that builds them from a description.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "BmpGen.h"
#include "ErrorOf.h"
#include "JWTempDir.h"
#include "JpegCheck.h"
#include "ReadCount.h"
#include "store/JWELogoDatFile.h"
#include "store/JWETemplateDatFile.h"
#include "store/JWError.h"
#include "store/JWRecordCache.h"
#include "store/JWTemplateImages.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWPictureJson.h"
#include "tools/writer/JWTmpWriter.h"

namespace {

using jw::TJWJson;
using jw::test::TJWTempDir;
using jwtest::ErrorOf;

bool Same(const jw::TJWBitmap& A, const jw::TJWBitmap& B) {
  return A.Width == B.Width && A.Height == B.Height && A.Pixels == B.Pixels;
}

class LogoDatFile : public ::testing::Test {
 protected:
  void Write(const std::function<void(jw::TJWImgWriter&)>& AFill) {
    jw::TJWImgWriter w(Path);
    AFill(w);
    w.Finish();
  }
  TJWTempDir Dir;
  std::string Path = Dir.File("JWIMG.SRM");
  // Three distinguishable pictures.
  jw::TJWBitmap Pic[3] = {jwtest::Gradient(3, 2), jwtest::Gradient(5, 4), jwtest::Gradient(7, 1)};
};

TEST_F(LogoDatFile, FirstIndexEntryOfAnIdentifierWinsAndBrokenPicturesFail) {
  Write([&](auto& w) {
    for (const auto& p : Pic) w.AddImage(jwtest::MakeBmp24(p));
    w.AddIndex(5, 2);
    w.AddIndex(7, 0);
    w.AddIndex(5, 1);  // a later duplicate is never seen
    w.AddLogo(1, {'n', 'o', ' ', 'b', 'm', 'p'});
    w.AddIndex(2, w.AddRawImage({0xFF, 0xFF, 0xFF}));  // not a deflate stream
  });
  jw::TJWELogoDatFile logos(Path);
  EXPECT_FALSE(logos.IsOpen());
  const auto five = logos.GetLogo(5);
  EXPECT_TRUE(logos.IsOpen());
  EXPECT_EQ(logos.GetCount(), 5);
  EXPECT_EQ(logos.GetDataStart(), 4u + 5 * 8);
  EXPECT_TRUE(five && Same(*five, Pic[2]));
  const auto seven = logos.GetLogo(7);
  EXPECT_TRUE(seven && Same(*seven, Pic[0]));
  EXPECT_EQ(logos.GetLogo(6), nullptr);
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }), "BMP: not a bitmap file");
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(2); }).rfind("Corrupt picture data", 0), 0u);

  logos.SetFileName(Dir.File("NONE.SRM"));
  EXPECT_FALSE(logos.IsOpen());
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }),
            "Datei \"" + Dir.File("NONE.SRM") + "\" nicht gefunden!");
}

TEST_F(LogoDatFile, ImageOrdinalsCountFromZeroUpToTheLastImage) {
  const std::vector<std::vector<uint8_t>> images = {{1, 2, 3}, {9}, {}};
  Write([&](auto& w) {
    for (const auto& i : images) w.AddRawImage(i);
    w.AddIndex(1, 3);  // one past the last image
  });
  jw::TJWELogoDatFile logos(Path);
  for (uint32_t n = 0; n < 3; ++n) EXPECT_EQ(logos.ReadImage(n), images[n]);
  for (uint32_t n : {3u, 0xFFFFFFFFu})
    EXPECT_EQ(ErrorOf([&] { logos.ReadImage(n); }), "Out of Filesize!");
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }), "Out of Filesize!");
  // An image whose stated size runs past the end of the file yields what is there.
  std::filesystem::resize_file(Path, 4 + 8 + 4 + 2);
  logos.Close();
  EXPECT_EQ(logos.ReadImage(0), std::vector<uint8_t>({1, 2}));
  EXPECT_EQ(ErrorOf([&] { logos.ReadImage(1); }), "Out of Filesize!");
}

// Images have no offset table; a file of a million empty images is walked in large blocks, and a
// number that the rest of the file cannot hold is refused without walking.
TEST_F(LogoDatFile, WalkToAnImageReadsTheFileInBlocks) {
  constexpr uint32_t Images = 1000000;
  Write([&](auto& w) {
    for (uint32_t i = 0; i < Images; ++i) w.AddRawImage({});
    w.AddIndex(1, 0xFFFFFFFF);
  });
  jw::TJWELogoDatFile logos(Path);
  logos.Open();
  auto readsFor = [](const std::function<void()>& AWork) {
    const int64_t before = jwtest::ReadSyscalls();
    AWork();
    return before < 0 ? 0 : jwtest::ReadSyscalls() - before;
  };
  EXPECT_LE(readsFor([&] {
              EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }), "Out of Filesize!");
              EXPECT_EQ(ErrorOf([&] { logos.ReadImage(Images); }), "Out of Filesize!");
            }),
            2);
  // 4 MB of length prefixes in blocks of 64 KiB.
  EXPECT_LT(readsFor([&] { EXPECT_TRUE(logos.ReadImage(Images - 1).empty()); }), 100);
  // A later walk resumes near where an earlier one passed.
  EXPECT_LT(readsFor([&] { EXPECT_TRUE(logos.ReadImage(Images - 2).empty()); }), 3);
}

// A 1-bit picture of 16384 x 16384 pixels compresses to a few kilobytes but would take 1 GiB
// decoded: its header is read first and the picture refused.
TEST_F(LogoDatFile, HugePictureIsRefusedByItsHeader) {
  Write([&](auto& w) {
    w.AddLogo(7, jwtest::MakeBlankBmp1(16384, 16384));
    w.AddLogo(8, jwtest::MakeBlankBmp1(4096, 2048));  // at the limit
  });
  jw::TJWELogoDatFile logos(Path);
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(7); }),
            "Datei \"" + Path + "\": Logo #7 ist zu gro\xDF (16384 x 16384 Pixel)!");
  EXPECT_EQ(logos.GetLogo(8)->Pixels.size(), 4096u * 2048u);
}

TEST_F(LogoDatFile, IndexSizeLimits) {
  Write([](auto& w) { w.SetCount(jw::TJWELogoDatFile::MaxEntries + 1); });
  jw::TJWELogoDatFile logos(Path);
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }),
            "Too many logo entries (128002) in \"" + Path + "\"!");
  EXPECT_FALSE(logos.IsOpen());

  Write([&](auto& w) {  // exactly the room of the index
    w.AddImage(jwtest::MakeBmp24(Pic[1]));
    for (uint32_t i = 0; i < jw::TJWELogoDatFile::MaxEntries; ++i) w.AddIndex(i + 10, 0);
  });
  const auto last = logos.GetLogo(jw::TJWELogoDatFile::MaxEntries + 9);
  EXPECT_TRUE(last && Same(*last, Pic[1]));
  Write([](auto& w) {  // a cut index: only the entries present are read
    w.SetCount(1000);
    w.AddIndex(3, 0);
    w.AddIndex(4, 0);
  });
  logos.Close();
  logos.Open();
  EXPECT_EQ(logos.GetCount(), 2);
  EXPECT_EQ(ErrorOf([&] { logos.Open(); }), "File already open!");
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
    const auto bmp = [](int w, int h) { return jwtest::MakeBmp24(jwtest::Gradient(w, h)); };
    return {AId, bmp(20 + i, 10), bmp(8, 3 + i), bmp(9, 4 + i), 500 + i, 0x00102030u + AId, 30 - i};
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
    Write([&](auto& w) {
      for (uint32_t id : AIds) w.Add(Fixture(id));
      w.SetDefaultId(ADefault);
    });
  }
  void Write(const std::function<void(jw::TJWTmpWriter&)>& AFill) {
    jw::TJWTmpWriter w(Path);
    AFill(w);
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
  Write([](auto& w) { w.Add(Fixture(1)), w.SetEntrySize(41); });
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
  const auto blank = jwtest::MakeBlankBmp1;
  const std::vector<uint8_t> huge = blank(16384, 16384), half = blank(4096, 2048);
  Write([&](auto& w) {
    w.Add({.Id = 4, .Image = huge, .Button1 = huge, .Button2 = huge});
    w.Add({.Id = 5, .Image = half, .Button1 = blank(4096, 1024), .Button2 = blank(2, 1)});
    w.Add({.Id = 6, .Image = half, .Button1 = blank(4096, 1024), .Button2 = {}});
  });
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
  Write([](auto& w) {  // each about 240 KB decoded
    for (uint32_t id = 1; id <= 24; ++id)
      w.Add({id, jwtest::MakeBmp24(jwtest::Gradient(300 + int(id), 200)), {}, {}});
  });
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
  EXPECT_EQ(std::tuple(t.Image.Width, t.Button1.Width, t.Button2.Width, t.NavigationLeft,
                       t.BackgroundColor, t.CaptionLeft),
            std::tuple(4, 0, 6, 561, 0x00D0E4F3u, -3));
}

TEST(PictureJson, RefusesWhatCannotBePacked) {
  TJWTempDir dir;
  WriteFile(dir.File("p.png"), {0x89, 'P', 'N', 'G'});
  auto templates = [&](const std::string& AJson) {
    jw::WriteTemplatesFromJson(TJWJson::parse(AJson), dir.Path().string(), dir.File("JWTMP.SRM"),
                               jw::LoadBmpFile);
  };
  for (const char* field : {R"("Image": "p.png")", R"("Image": "missing.bmp")",
                            R"("BackgroundColor": "red")", R"("NavigationLeft": "x")"})
    EXPECT_THROW(templates(std::string(R"({"Templates": [{"Id": 1, )") + field + "}]}"),
                 jw::EJWError)
        << field;
  EXPECT_EQ(jw::ColorFromJson(TJWJson(0x123456u)), 0x123456u);
}

}  // namespace
