// Kept pages: handed out while their files are unchanged and the parameters they read the same.
#include "Expected.h"
#include "JWTempDir.h"
#include "html/JWHTMLProducer.h"
#include "html/JWPageCache.h"
#include "store/JWDataDirectory.h"
#include "store/JWRecordCache.h"

using namespace jw;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& APath, const std::string& AText) {
  std::ofstream(APath, std::ios::binary | std::ios::trunc) << AText;
}

class PageCacheTest : public ::testing::Test {
 public:
  void SetUp() override {
    if (!fs::exists(fs::path(JW_SAMPLE_DATA) / EntryDatFileName)) GTEST_SKIP() << "no sample";
    TJWRecordCache::Instance().Clear();
    fs::create_directory(Data()), fs::create_directory(Templates());
    for (const char* name : {EntryDatFileName, LogoDatFileName, TemplateDatFileName})
      fs::copy_file(fs::path(JW_SAMPLE_DATA) / name, Data() / name);
    // A page that shows a field, a request parameter and an include that is not there yet.
    Write(Templates() / "main1.html",
          "<#FIELD NAME=FIRM>|<#FIELD NAME=PARAM VALUE=[?COLOR?]>|<#INC FILE=later>|<#INC "
          "FILE=part>\n");
    Write(Templates() / "part.html", "part one\n");
  }
  fs::path Data() const { return FDir.Path() / "data"; }
  fs::path Templates() const { return FDir.Path() / "templates"; }

  // The page as the export makes it: the kept one when there is one, else a new one that is kept.
  std::string Page(const std::string& AQuery, bool* AKept = nullptr) {
    const TJWPageRequest request{
        Data().string() + "/", Templates().string() + "/", AQuery, 1002, 0, true, false};
    const auto kept = TJWPageCache::Find(request);
    if (AKept) *AKept = bool(kept);
    if (kept) return *kept;
    TJWDataDirectory::TCall files = TJWDataDirectory::Use(request.DataPath);
    TJWHTMLProducer producer;
    producer.SetFilepath(request.DataPath);
    producer.OpenDataFiles(files.Shared());
    producer.SetQueryParams(AQuery);
    producer.SetIncludePath(request.IncludePath);
    producer.Engine().IncludeFolder();
    producer.SetJW2ID(int32_t(request.EntryId));
    std::string page;
    producer.WritePage(&page, 0);
    TJWPageCache::Put(request, producer, *files->View(), page);
    return page;
  }

  test::TJWTempDir FDir;
};

TEST_F(PageCacheTest, OnlyParametersThePageReadMakeItNew) {
  const std::string red = Page("COLOR=red&n=1");
  EXPECT_NE(red.find("|red|"), std::string::npos) << red;
  for (const auto& [query, shown, kept] :
       {std::tuple{"n=2&COLOR=red", red, true},
        {"color=blue&n=3", jw::test::Replace(red, "|red|", "|blue|"), false},
        {"COLOR=red&n=4", red, true}}) {
    bool wasKept = false;
    EXPECT_EQ(Page(query, &wasKept), shown) << query;
    EXPECT_EQ(wasKept, kept) << query;
  }
}

TEST_F(PageCacheTest, AnyChangeToAFileThePageCameFromIsSeenAtTheNextCall) {
  const fs::path t = Templates(), entries = Data() / EntryDatFileName;
  // clang-format off
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"include rewritten", [&] { Write(t / "part.html", "two\n"); }},
      {"missing include put there", [&] { Write(t / "later.html", "now\n"); }},
      {"include removed", [&] { fs::remove(t / "part.html"); }},
      {"page template rewritten", [&] { Write(t / "main1.html", "<#FIELD NAME=PARAM VALUE=[?COLOR?]>!\n"); }},
      {"entry file replaced", [&] { fs::copy_file(entries, Data() / "new"), fs::rename(Data() / "new", entries); }},
      // The page shows nothing of the logo file, but cannot be made without it.
      {"logo file removed", [&] { fs::remove(Data() / LogoDatFileName); }},
  };
  // clang-format on
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    fs::remove_all(Data()), fs::remove_all(t), SetUp();  // a fresh copy each time
    bool kept = false;
    Page("COLOR=red"), Page("COLOR=red", &kept);
    ASSERT_TRUE(kept);
    change();
    if (fs::exists(Data() / LogoDatFileName))
      EXPECT_FALSE((Page("COLOR=red", &kept), kept));
    else
      EXPECT_THROW(Page("COLOR=red"), std::exception);
  }
}

}  // namespace
