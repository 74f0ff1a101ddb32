#include <gtest/gtest.h>

#include "JpegCheck.h"
#include "store/JWError.h"
#include "store/JWJpegEncode.h"

namespace {

TEST(JpegEncode, BaselineColourFilesCloseToTheSource) {
  for (auto [w, h] : {std::pair{1, 1}, std::pair{17, 9}, std::pair{64, 48}, std::pair{705, 460}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    const jw::TJWBitmap source = jwtest::Gradient(w, h);
    const std::vector<uint8_t> file = jw::EncodeJpeg(source);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    const jwtest::TJpegInfo info = jwtest::ReadJpeg(file);
    ASSERT_TRUE(info.Ok) << info.Error;
    EXPECT_TRUE(info.Baseline);
    EXPECT_EQ(info.Components, 3);
    EXPECT_LE(jwtest::MaxChannelDifference(info.Picture, source), 12);
  }
}

// Saturated red beside saturated blue: away from the edge, where chroma subsampling blurs, the
// colours come back in the right channels.
TEST(JpegEncode, SaturatedColoursKeepTheirChannels) {
  jw::TJWBitmap p{32, 16, {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) p.Pixels.push_back(x < 16 ? 0xFFFF0000u : 0xFF0000FFu);
  const jwtest::TJpegInfo info = jwtest::ReadJpeg(jw::EncodeJpeg(p));
  ASSERT_TRUE(info.Ok) << info.Error;
  for (auto [x, expected] : {std::pair{4, 0xFFFF0000u}, std::pair{28, 0xFF0000FFu}}) {
    jw::TJWBitmap probe{1, 1, {info.Picture.Pixel(x, 8)}}, want{1, 1, {expected}};
    EXPECT_LE(jwtest::MaxChannelDifference(probe, want), 6) << std::hex << probe.Pixels[0];
  }
}

TEST(JpegEncode, RefusesMalformedPictures) {
  EXPECT_THROW(jw::EncodeJpeg(jw::TJWBitmap{}), jw::EJWError);
  EXPECT_THROW(jw::EncodeJpeg({4, 4, std::vector<uint32_t>(15)}), jw::EJWError);  // one short
}

}  // namespace
