// The template pictures and the logo through the C boundary, as a host receives them.
#include <atomic>
#include <cstdlib>

#include "DataDir.h"
#include "JpegCheck.h"

namespace {

using jwtest::Gradient;
using jwtest::Lib;
using TItems = std::vector<std::pair<std::string, jw::TJWBitmap>>;

// The host's list: every item as it arrived.
struct THostList {
  std::vector<std::pair<std::string, JWMemoryStream*>> Items;
  JWHostList List{this, &THostList::Add};

  static void JWAPI Add(void* AContext, const char* AName, JWMemoryStream* AStream) {
    static_cast<THostList*>(AContext)->Items.emplace_back(AName, AStream);
  }
  ~THostList() {
    for (const auto& item : Items) Lib().FreeMemoryStream(item.second);
  }
  // Each item is a finished stream holding a JPEG close to its source, in the given order.
  void Expect(const TItems& AItems) const {
    ASSERT_EQ(Items.size(), AItems.size());
    for (size_t i = 0; i < AItems.size(); ++i) {
      const JWMemoryStream* s = Items[i].second;
      EXPECT_EQ(Items[i].first, AItems[i].first);
      EXPECT_EQ(s->Position, s->Size);
      const jwtest::TJpegInfo jpeg = jwtest::ReadJpeg({s->Memory, s->Memory + s->Size});
      ASSERT_TRUE(jpeg.Ok) << jpeg.Error;
      EXPECT_LE(jwtest::MaxChannelDifference(jpeg.Picture, AItems[i].second), 16) << i;
    }
  }
};

enum : uint32_t { idWithLogo = 10, idWithoutLogo = 11, idBrokenTemplate = 12 };

// Source pictures, distinct per template and differently sized, so a mix-up shows.
jw::TJWBitmap Background(uint32_t ATemplate) {
  return Gradient(60 + 10 * int(ATemplate), 40);
}
jw::TJWBitmap Button(int AButton, uint32_t ATemplate) {
  return Gradient(24 + AButton, 8 + int(ATemplate));
}
const jw::TJWBitmap Logo = Gradient(33, 17);

class TemplateImages : public ::testing::Test {
 protected:
  // Entry 10 uses template 2; entries 11 and 12 template 3, whose last button picture is broken.
  void SetUp() override {
    std::vector<jw::TJWEntryFixture> entries(3);
    std::vector<jw::TJWTemplateFixture> templates(3);
    for (uint32_t id : {1u, 2u, 3u}) {
      entries[id - 1].Id = idWithLogo + id - 1;
      entries[id - 1].Record.TemplateId = id == 1 ? 2 : 3;
      jw::TJWTemplateFixture& t = templates[id - 1];
      t.Id = id;
      t.Image = jwtest::MakeBmp24(Background(id));
      t.Button1 = jwtest::MakeBmp24(Button(1, id));
      t.Button2 = jwtest::MakeBmp24(Button(2, id));
    }
    templates[2].Button2 = {'B', 'M'};
    jwtest::WriteDataDir(Dir.Dir(), entries, {{idWithLogo, Logo}}, templates);
  }

  jwtest::TTempDir Dir;
};

TEST_F(TemplateImages, ItemsOfTheTemplateAndTheLogo) {
  THostList list, asked;
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, &list.List), 1);  // the entry's own template
  EXPECT_STREQ(Lib().GetLastError(), "");
  list.Expect({{"template.jpg", Background(2)},
               {"button1.jpg", Button(1, 2)},
               {"button2.jpg", Button(2, 2)},
               {"logo.jpg", Logo}});
  // A template asked for by its number, not the entry's broken one.
  EXPECT_EQ(Lib().GetTemplateImages(idWithoutLogo, 1, &asked.List), 1);
  asked.Expect({{"template.jpg", Background(1)},
                {"button1.jpg", Button(1, 1)},
                {"button2.jpg", Button(2, 1)}});
}

// A host allocator that runs dry after a number of blocks.
std::atomic<int> BlocksLeft{0};
void* JWAPI LimitedGetMem(int32_t ASize) {
  return BlocksLeft.fetch_sub(1) > 0 ? std::malloc(size_t(ASize)) : nullptr;
}
int32_t JWAPI PlainFreeMem(void* P) {
  return std::free(P), 0;
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
  list.Expect({{"template.jpg", Background(2)}, {"button1.jpg", Button(1, 2)}});
}

TEST_F(TemplateImages, FailuresAreReported) {
  THostList list;
  EXPECT_EQ(Lib().GetTemplateImages(idBrokenTemplate, 0, &list.List), 0);
  EXPECT_STREQ(Lib().GetLastError(), "BMP: not a bitmap file");
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, nullptr), 0);
  EXPECT_STRNE(Lib().GetLastError(), "");
  // Without the logo file, loading the entry fails as a whole.
  std::filesystem::remove(Dir.Path() / "JWIMG.SRM");
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, &list.List), 0);
  EXPECT_EQ(Lib().GetLastError(), "Datei \"" + Dir.Dir() + "JWIMG.SRM\" nicht gefunden!");
  EXPECT_TRUE(list.Items.empty());  // the template is read whole before any item is made
}

}  // namespace
