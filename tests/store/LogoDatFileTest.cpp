#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "BmpGen.h"
#include "ErrorOf.h"
#include "JWTempDir.h"
#include "JpegCheck.h"
#include "ReadCount.h"
#include "store/JWELogoDatFile.h"
#include "tools/writer/JWImgWriter.h"

namespace {

using jw::test::TJWTempDir;
using jwtest::ErrorOf;

class LogoDatFile : public ::testing::Test {
 protected:
  TJWTempDir Dir;
  std::string Path = Dir.File("JWIMG.SRM");
  // Three distinguishable pictures.
  jw::TJWBitmap Pic[3] = {jwtest::Gradient(3, 2), jwtest::Gradient(5, 4), jwtest::Gradient(7, 1)};
};

TEST_F(LogoDatFile, FirstIndexEntryOfAnIdentifierWinsAndBrokenPicturesFail) {
  jw::TJWImgWriter w(Path);
  for (const auto& p : Pic) w.AddImage(jwtest::MakeBmp24(p));
  w.AddIndex(5, 2);
  w.AddIndex(7, 0);
  w.AddIndex(5, 1);  // a later duplicate is never seen
  w.AddLogo(1, {'n', 'o', ' ', 'b', 'm', 'p'});
  w.AddIndex(2, w.AddRawImage({0xFF, 0xFF, 0xFF}));  // not a deflate stream
  w.Finish();

  jw::TJWELogoDatFile logos(Path);
  EXPECT_FALSE(logos.IsOpen());
  const auto five = logos.GetLogo(5);
  EXPECT_TRUE(logos.IsOpen());
  EXPECT_EQ(logos.GetCount(), 5);
  EXPECT_EQ(logos.GetDataStart(), 4u + 5 * 8);
  ASSERT_NE(five, nullptr);
  EXPECT_EQ(jwtest::MaxChannelDifference(*five, Pic[2]), 0);
  const auto seven = logos.GetLogo(7);
  ASSERT_NE(seven, nullptr);
  EXPECT_EQ(jwtest::MaxChannelDifference(*seven, Pic[0]), 0);
  EXPECT_EQ(logos.GetLogo(6), nullptr);
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }), "BMP: not a bitmap file");
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(2); }).rfind("Corrupt picture data", 0), 0u);

  logos.SetFileName(Dir.File("NONE.SRM"));
  EXPECT_FALSE(logos.IsOpen());
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }),
            "Datei \"" + Dir.File("NONE.SRM") + "\" nicht gefunden!");
}

TEST_F(LogoDatFile, ImageOrdinalsCountFromZeroUpToTheLastImage) {
  jw::TJWImgWriter w(Path);
  const std::vector<uint8_t> first = {1, 2, 3}, second = {9}, third = {};
  w.AddRawImage(first);
  w.AddRawImage(second);
  w.AddRawImage(third);
  w.AddIndex(1, 3);  // one past the last image
  w.Finish();

  jw::TJWELogoDatFile logos(Path);
  EXPECT_EQ(logos.ReadImage(0), first);
  EXPECT_EQ(logos.ReadImage(1), second);
  EXPECT_EQ(logos.ReadImage(2), third);
  EXPECT_EQ(ErrorOf([&] { logos.ReadImage(3); }), "Out of Filesize!");
  EXPECT_EQ(ErrorOf([&] { logos.ReadImage(0xFFFFFFFF); }), "Out of Filesize!");
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
  {
    jw::TJWImgWriter w(Path);
    for (uint32_t i = 0; i < Images; ++i) w.AddRawImage({});
    w.AddIndex(1, 0xFFFFFFFF);
    w.Finish();
  }
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
  jw::TJWImgWriter w(Path);
  w.AddLogo(7, jwtest::MakeBlankBmp1(16384, 16384));
  w.AddLogo(8, jwtest::MakeBlankBmp1(4096, 2048));  // at the limit
  w.Finish();
  jw::TJWELogoDatFile logos(Path);
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(7); }),
            "Datei \"" + Path + "\": Logo #7 ist zu gro\xDF (16384 x 16384 Pixel)!");
  EXPECT_EQ(logos.GetLogo(8)->Pixels.size(), 4096u * 2048u);
}

TEST_F(LogoDatFile, IndexSizeLimits) {
  {
    jw::TJWImgWriter w(Path);
    w.SetCount(jw::TJWELogoDatFile::MaxEntries + 1);
    w.Finish();
  }
  jw::TJWELogoDatFile logos(Path);
  EXPECT_EQ(ErrorOf([&] { logos.GetLogo(1); }),
            "Too many logo entries (128002) in \"" + Path + "\"!");
  EXPECT_FALSE(logos.IsOpen());

  {  // exactly the room of the index
    jw::TJWImgWriter w(Path);
    w.AddImage(jwtest::MakeBmp24(Pic[1]));
    for (uint32_t i = 0; i < jw::TJWELogoDatFile::MaxEntries; ++i) w.AddIndex(i + 10, 0);
    w.Finish();
  }
  const auto last = logos.GetLogo(jw::TJWELogoDatFile::MaxEntries + 9);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->Width, 5);

  {  // a cut index: only the entries present are read
    jw::TJWImgWriter w(Path);
    w.SetCount(1000);
    w.AddIndex(3, 0);
    w.AddIndex(4, 0);
    w.Finish();
  }
  logos.Close();
  logos.Open();
  EXPECT_EQ(logos.GetCount(), 2);
  EXPECT_EQ(ErrorOf([&] { logos.Open(); }), "File already open!");
}

}  // namespace
