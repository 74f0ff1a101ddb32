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

// Entry 1 named AName; with ABranch, entry 2 as its branch.
void WriteEntries(const std::string& AFile, const std::string& AName, bool ABranch = false) {
  std::vector<TJWEntryFixture> entries(ABranch ? 2 : 1);
  entries[0].Id = 1;
  entries[0].Record.NamePart1 = AName;
  if (ABranch) {
    entries[0].BranchIds = {2};
    entries[1].Id = 2;
    entries[1].Record.NamePart1 = "Filiale";
  }
  WriteEntryDatFile(AFile, entries);
}

TEST(DataDirectoryEntries, CachedEntriesFollowTheFileAndKeepLogosApart) {
  test::TJWTempDir dir;
  WriteEntries(dir.File(EntryDatFileName), "Alt", true);
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
  WriteEntries(dir.File(EntryDatFileName), "Neu", true);
  fs::last_write_time(name, written + std::chrono::seconds(1));
  files.Recheck();
  TJW2DataRec fresh;
  files.LoadEntry(1, fresh);
  EXPECT_EQ(fresh.NamePart1, "Neu");

  // A missing entry fails as the reader does, and no failure is remembered.
  EXPECT_THROW(files.LoadEntry(3, fresh), EJWError);
  EXPECT_EQ(fresh.NamePart1, "Neu");
}

// The data path is used as set: a separator comes between it and a file name unless the path is
// empty, blank or ends in one; a blank path names files beginning with its blanks in the current
// directory.
TEST(DataDirectoryNames, PathAsSetFollowedByTheFileName) {
  const std::string sep(1, platform::PathSeparator);
  const std::pair<std::string, std::string> cases[] = {
      {"", "JWDAT.SRM"},     {"   ", "   JWDAT.SRM"},          {"d", "d" + sep + "JWDAT.SRM"},
      {"d/", "d/JWDAT.SRM"}, {"d ", "d " + sep + "JWDAT.SRM"},
  };
  for (const auto& [path, name] : cases)
    EXPECT_EQ(TJWDataDirectory::FileName(path, EntryDatFileName), name) << '"' << path << '"';

  test::TJWTempDir dir;
  WriteEntries((dir.Path() / "   JWDAT.SRM").string(), "Leer");
  const fs::path before = fs::current_path();
  fs::current_path(dir.Path());
  std::string name;
  try {
    name = TJWDataDirectory::Use("   ")->EntryWithoutLogo(1)->NamePart1;
  } catch (const std::exception& e) {
    name = e.what();
  }
  fs::current_path(before);
  EXPECT_EQ(name, "Leer");
}

#ifndef _WIN32
// A data file reached through a link: renamed over behind the link, it is seen at the next call.
TEST(DataDirectoryEntries, ChangesBehindALinkAreSeenAtTheNextCall) {
  test::TJWTempDir dir, real;
  fs::create_directory(dir.Path() / "data");
  const std::string target = (real.Path() / "entries").string();
  fs::create_symlink(target, dir.Path() / "data" / EntryDatFileName);
  const std::string path = (dir.Path() / "data").string();
  for (const char* name : {"Alt", "Neu"}) {
    WriteEntries(target + ".new", name);
    fs::rename(target + ".new", target);
    EXPECT_EQ(TJWDataDirectory::Use(path)->EntryWithoutLogo(1)->NamePart1, name);
  }
}
#endif

}  // namespace
