// Kept pages: handed out again only while every file they came from is unchanged, and made anew
// for a request that gives a parameter they read another value.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

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
    fs::create_directory(Data());
    fs::create_directory(Templates());
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
    if (const auto kept = TJWPageCache::Find(request)) {
      if (AKept) *AKept = true;
      return *kept;
    }
    if (AKept) *AKept = false;
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
  bool kept = false;
  const std::string red = Page("COLOR=red&n=1", &kept);
  EXPECT_FALSE(kept);
  EXPECT_NE(red.find("|red|"), std::string::npos) << red;
  EXPECT_EQ(Page("n=2&COLOR=red", &kept), red);
  EXPECT_TRUE(kept);
  EXPECT_NE(Page("color=blue&n=3", &kept).find("|blue|"), std::string::npos);
  EXPECT_FALSE(kept);
  EXPECT_EQ(Page("COLOR=red&n=4", &kept), red);
  EXPECT_TRUE(kept);
}

TEST_F(PageCacheTest, AnyChangeToAFileThePageCameFromIsSeenAtTheNextCall) {
  const struct {
    const char* What;
    std::function<void(PageCacheTest&)> Change;
    bool StillWorks;
  } changes[] = {
      {"include rewritten", [](PageCacheTest& t) { Write(t.Templates() / "part.html", "two\n"); },
       true},
      {"missing include put there",
       [](PageCacheTest& t) { Write(t.Templates() / "later.html", "now\n"); }, true},
      {"include removed", [](PageCacheTest& t) { fs::remove(t.Templates() / "part.html"); }, true},
      {"page template rewritten",
       [](PageCacheTest& t) {
         Write(t.Templates() / "main1.html", "<#FIELD NAME=PARAM VALUE=[?COLOR?]>!\n");
       },
       true},
      {"entry file replaced",
       [](PageCacheTest& t) {
         fs::copy_file(t.Data() / EntryDatFileName, t.Data() / "new");
         fs::rename(t.Data() / "new", t.Data() / EntryDatFileName);
       },
       true},
      // The page shows nothing of the logo file, but cannot be made without it.
      {"logo file removed", [](PageCacheTest& t) { fs::remove(t.Data() / LogoDatFileName); },
       false},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.What);
    fs::remove_all(Data());
    fs::remove_all(Templates());
    SetUp();  // a fresh copy each time
    bool kept = false;
    const std::string before = Page("COLOR=red");
    ASSERT_EQ(Page("COLOR=red", &kept), before);
    ASSERT_TRUE(kept);
    change.Change(*this);
    if (change.StillWorks) {
      Page("COLOR=red", &kept);
      EXPECT_FALSE(kept);
    } else {
      EXPECT_THROW(Page("COLOR=red", &kept), std::exception);
    }
  }
}

}  // namespace
