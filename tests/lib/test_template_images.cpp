// The template pictures and the logo through the C boundary, as a host receives them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "DataDir.h"
#include "JpegCheck.h"

namespace {

using jwtest::Gradient;
using jwtest::Lib;

// The host's list: every item as it arrived.
struct THostList {
  std::vector<std::pair<std::string, JWMemoryStream*>> Items;
  JWHostList List{this, &THostList::Add};

  static void JWAPI Add(void* AContext, const char* AName, JWMemoryStream* AStream) {
    static_cast<THostList*>(AContext)->Items.emplace_back(AName, AStream);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& item : Items) names.push_back(item.first);
    return names;
  }
  ~THostList() {
    for (const auto& item : Items) Lib().FreeMemoryStream(item.second);
  }
};

enum : uint32_t { idWithLogo = 10, idWithoutLogo = 11, idBrokenTemplate = 12, idMissing = 99 };

// Source pictures, distinct per template and differently sized, so a mix-up shows.
jw::TJWBitmap Background(uint32_t ATemplate) {
  return Gradient(60 + 10 * int(ATemplate), 40);
}
jw::TJWBitmap Button1(uint32_t ATemplate) {
  return Gradient(24, 8 + int(ATemplate));
}
jw::TJWBitmap Button2(uint32_t ATemplate) {
  return Gradient(26, 9 + int(ATemplate));
}
const jw::TJWBitmap Logo = Gradient(33, 17);

class TemplateImages : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<jw::TJWEntryFixture> entries(3);
    entries[0].Id = idWithLogo;
    entries[0].Record.TemplateId = 2;
    entries[1].Id = idWithoutLogo;
    entries[1].Record.TemplateId = 1;
    entries[2].Id = idBrokenTemplate;
    entries[2].Record.TemplateId = 3;
    std::vector<jw::TJWTemplateFixture> templates(3);
    for (uint32_t id : {1u, 2u, 3u}) {
      jw::TJWTemplateFixture& t = templates[id - 1];
      t.Id = id;
      t.Image = jwtest::MakeBmp24(Background(id));
      t.Button1 = jwtest::MakeBmp24(Button1(id));
      t.Button2 = jwtest::MakeBmp24(Button2(id));
    }
    templates[2].Button2 = {'B', 'M'};  // template 3's last button picture does not decode
    jwtest::WriteDataDir(Dir, entries, {{idWithLogo, Logo}}, templates);
  }

  // Each item is a finished stream holding a baseline colour JPEG close to its source.
  static void ExpectPictures(const THostList& AList, const std::vector<jw::TJWBitmap>& ASources) {
    ASSERT_EQ(AList.Items.size(), ASources.size());
    for (size_t i = 0; i < ASources.size(); ++i) {
      SCOPED_TRACE(AList.Items[i].first);
      const JWMemoryStream* s = AList.Items[i].second;
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s->Position, s->Size);
      const jwtest::TJpegInfo jpeg =
          jwtest::ReadJpeg(std::vector<uint8_t>(s->Memory, s->Memory + s->Size));
      ASSERT_TRUE(jpeg.Ok) << jpeg.Error;
      EXPECT_TRUE(jpeg.Baseline);
      EXPECT_EQ(jpeg.Components, 3);
      // Small pictures carry steep gradients, which quality 90 with subsampled colour keeps
      // within a few steps.
      EXPECT_LE(jwtest::MaxChannelDifference(jpeg.Picture, ASources[i]), 16);
    }
  }

  jwtest::TTempDir Dir;
};

TEST_F(TemplateImages, ItemsOfTheTemplateAndTheLogo) {
  const struct {
    uint32_t Id, Template;
    std::vector<std::string> Names;
    std::vector<jw::TJWBitmap> Pictures;
  } cases[] = {
      // The entry's own template (2), and its logo; a template asked for explicitly, no logo.
      {idWithLogo,
       0,
       {"template.jpg", "button1.jpg", "button2.jpg", "logo.jpg"},
       {Background(2), Button1(2), Button2(2), Logo}},
      {idWithoutLogo,
       2,
       {"template.jpg", "button1.jpg", "button2.jpg"},
       {Background(2), Button1(2), Button2(2)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "entry " << c.Id << " template " << c.Template);
    THostList list;
    EXPECT_EQ(Lib().GetTemplateImages(c.Id, c.Template, &list.List), 1);
    EXPECT_STREQ(Lib().GetLastError(), "");
    EXPECT_EQ(list.Names(), c.Names);
    ExpectPictures(list, c.Pictures);
  }
}

// A host allocator that runs dry after a number of blocks.
std::atomic<int> BlocksLeft{0};
void* JWAPI LimitedGetMem(int32_t ASize) {
  return BlocksLeft.fetch_sub(1) > 0 ? std::malloc(size_t(ASize)) : nullptr;
}
int32_t JWAPI PlainFreeMem(void* P) {
  std::free(P);
  return 0;
}
void* JWAPI PlainReallocMem(void* P, int32_t ASize) {
  return std::realloc(P, size_t(ASize));
}

TEST_F(TemplateImages, ItemsAppendedBeforeAFailureStayWithTheHost) {
  THostList list;
  BlocksLeft = 5;  // two blocks per item: the third item's bytes find no memory
  Lib().SetMemoryManager(LimitedGetMem, PlainFreeMem, PlainReallocMem);
  const uint8_t result = Lib().GetTemplateImages(idWithLogo, 0, &list.List);
  const std::string error = Lib().GetLastError();
  Lib().SetMemoryManager(nullptr, nullptr, nullptr);
  EXPECT_EQ(result, 0);
  EXPECT_NE(error.find("Out of memory"), std::string::npos) << error;
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"template.jpg", "button1.jpg"}));
  ExpectPictures(list, {Background(2), Button1(2)});
}

TEST_F(TemplateImages, FailuresAreReported) {
  THostList list;
  EXPECT_EQ(Lib().GetTemplateImages(idBrokenTemplate, 0, &list.List), 0);
  EXPECT_STREQ(Lib().GetLastError(), "BMP: not a bitmap file");
  EXPECT_TRUE(list.Items.empty());  // the template is read whole before any item is made

  THostList missing;
  EXPECT_EQ(Lib().GetTemplateImages(idMissing, 0, &missing.List), 0);
  EXPECT_STREQ(Lib().GetLastError(), "#99 JW Eintrag nicht gefunden!");
  EXPECT_TRUE(missing.Items.empty());

  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, nullptr), 0);
  EXPECT_STRNE(Lib().GetLastError(), "");

  // Without the logo file, loading the entry fails as a whole.
  std::filesystem::remove(Dir.Path() / "JWIMG.SRM");
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, &list.List), 0);
  EXPECT_EQ(Lib().GetLastError(), "Datei \"" + Dir.Dir() + "JWIMG.SRM\" nicht gefunden!");
  EXPECT_TRUE(list.Items.empty());
}

}  // namespace
