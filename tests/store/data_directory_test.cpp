// Entries come from the directory's cache of decoded entries: what it answers must be what the
// entry reader reads from the file as it is now, logo and branches included.
#include <gtest/gtest.h>

#include <filesystem>

#include "BmpGen.h"
#include "JWTempDir.h"
#include "store/JWDataDirectory.h"
#include "store/JWError.h"
#include "tools/writer/JWDatWriter.h"
#include "tools/writer/JWImgWriter.h"

namespace {

using namespace jw;
namespace fs = std::filesystem;

void WriteEntries(const test::TJWTempDir& ADir, const std::string& AName) {
  std::vector<TJWEntryFixture> entries(2);
  entries[0].Id = 1;
  entries[0].Record.NamePart1 = AName;
  entries[0].BranchIds = {2};
  entries[1].Id = 2;
  entries[1].Record.NamePart1 = "Filiale";
  WriteEntryDatFile(ADir.File(EntryDatFileName), entries);
}

TEST(DataDirectoryEntries, CachedEntriesFollowTheFileAndKeepLogosApart) {
  test::TJWTempDir dir;
  WriteEntries(dir, "Alt");
  jwtest::TBmpSpec picture;
  picture.Width = 4;
  picture.Height = 3;
  TJWImgWriter logos(dir.File(LogoDatFileName));
  logos.AddLogo(1, jwtest::MakeBmp(picture).File);
  logos.Finish();

  TJWDataDirectory files(dir.Path().string());
  const TJW2DataRec plain = *files.EntryWithoutLogo(1);
  TJW2DataRec withLogo;
  files.LoadEntry(1, withLogo);
  EXPECT_EQ(plain.Logo, nullptr);
  ASSERT_NE(withLogo.Logo, nullptr);
  EXPECT_EQ(withLogo.Logo->Width, 4);
  ASSERT_TRUE(withLogo.Branches.has_value());
  EXPECT_EQ(withLogo.Branches->at(0).Firm, "Filiale");

  // Rewritten in place with the same size: the next check of the directory sees the new entry.
  const fs::path name = dir.File(EntryDatFileName);
  const auto written = fs::last_write_time(name);
  WriteEntries(dir, "Neu");
  fs::last_write_time(name, written + std::chrono::seconds(1));
  files.Recheck();
  TJW2DataRec fresh;
  files.LoadEntry(1, fresh);
  EXPECT_EQ(fresh.NamePart1, "Neu");

  // A missing entry fails as the reader does, and no failure is remembered.
  EXPECT_THROW(files.LoadEntry(3, fresh), EJWError);
  EXPECT_EQ(fresh.NamePart1, "Neu");
}

}  // namespace
