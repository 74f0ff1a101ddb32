#include <gtest/gtest.h>

#include <numeric>

#include "store/JWRawInflate.h"
#include "tools/writer/DeflateRaw.h"

namespace jw {
namespace {

std::vector<uint8_t> Sample(size_t ASize) {
  std::vector<uint8_t> data(ASize);
  for (size_t i = 0; i < ASize; ++i) data[i] = uint8_t((i * 7) ^ (i >> 5));
  return data;
}

TEST(InflateRaw, WholeCappedShortAndCorruptStreams) {
  const auto data = Sample(100000);
  const auto packed = DeflateRaw(data);

  auto all = InflateRaw(packed.data(), packed.size(), 1 << 20);
  EXPECT_TRUE(all.Complete);
  EXPECT_FALSE(all.Corrupt);
  EXPECT_EQ(all.Data, data);

  auto exact = InflateRaw(packed.data(), packed.size(), data.size());  // ends right at the cap
  EXPECT_TRUE(exact.Complete);
  EXPECT_EQ(exact.Data, data);

  auto capped = InflateRaw(packed.data(), packed.size(), 1000);
  EXPECT_FALSE(capped.Complete);
  EXPECT_EQ(capped.Data, std::vector<uint8_t>(data.begin(), data.begin() + 1000));

  auto cut = InflateRaw(packed.data(), packed.size() / 2, 1 << 20);
  EXPECT_FALSE(cut.Complete);
  EXPECT_FALSE(cut.Corrupt);
  ASSERT_GT(cut.Data.size(), 0u);
  EXPECT_TRUE(std::equal(cut.Data.begin(), cut.Data.end(), data.begin()));

  auto empty = InflateRaw(nullptr, 0, 100);
  EXPECT_FALSE(empty.Complete);
  EXPECT_FALSE(empty.Corrupt);
  EXPECT_TRUE(empty.Data.empty());

  auto damaged = packed;
  damaged[0] = 0xFF;  // an invalid block type
  auto bad = InflateRaw(damaged.data(), damaged.size(), 1 << 20);
  EXPECT_TRUE(bad.Corrupt);
  EXPECT_FALSE(bad.Error.empty());
  EXPECT_FALSE(bad.Complete);
}

TEST(RawInflater, StepwiseReadsAndZeroFill) {
  const auto data = Sample(300);
  const auto packed = DeflateRaw(data);
  TJWRawInflater inflater(packed.data(), packed.size());
  uint8_t head[100];
  EXPECT_EQ(inflater.ReadFixed(head, sizeof head), 100u);
  EXPECT_TRUE(std::equal(head, head + 100, data.begin()));
  std::vector<uint8_t> rest;
  EXPECT_EQ(inflater.Read(rest, 150), 150u);
  EXPECT_EQ(inflater.Read(rest, 1000), 50u);
  EXPECT_TRUE(inflater.Finished());
  EXPECT_TRUE(std::equal(rest.begin(), rest.end(), data.begin() + 100));
  uint8_t tail[8];
  std::fill(std::begin(tail), std::end(tail), 0xAA);
  EXPECT_EQ(inflater.ReadFixed(tail, sizeof tail), 0u);
  EXPECT_EQ(std::accumulate(std::begin(tail), std::end(tail), 0), 0);
}

}  // namespace
}  // namespace jw
