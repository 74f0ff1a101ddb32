// The web host looks at its files again only when the folder watch says they may have changed: a
// change it misses would serve stale pages, so every way of replacing a file must be seen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "JWTempDir.h"
#include "jwhostwatch.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& APath, const std::string& AText) {
  std::ofstream(APath, std::ios::binary) << AText;
}

TEST(HostFolderWatch, EveryWayOfChangingAFileIsSeenOnce) {
  jw::test::TJWTempDir dir;
  const fs::path data = dir.Path() / "data", other = dir.Path() / "other",
                 link = dir.Path() / "current";
  fs::create_directories(data);
  fs::create_directories(other);
  WriteFile(data / "JWDAT.SRM", "eins");
  fs::create_directory_symlink(data, link);

  jwhost::TFolderWatch watch({link.string()});
  EXPECT_TRUE(watch.Changed());  // nothing known yet
  EXPECT_FALSE(watch.Changed());

  const struct {
    const char* What;
    std::function<void()> Change;
  } changes[] = {
      {"rewritten in place", [&] { WriteFile(data / "JWDAT.SRM", "zwei"); }},
      {"only its time",
       [&] {
         fs::last_write_time(data / "JWDAT.SRM",
                             fs::last_write_time(data / "JWDAT.SRM") + std::chrono::seconds(1));
       }},
      {"renamed over",
       [&] {
         WriteFile(data / "neu", "drei");
         fs::rename(data / "neu", data / "JWDAT.SRM");
       }},
      {"removed", [&] { fs::remove(data / "JWDAT.SRM"); }},
      {"the folder swapped",
       [&] {
         fs::remove(link);
         fs::create_directory_symlink(other, link);
       }},
      {"a file in the new folder", [&] { WriteFile(other / "JWDAT.SRM", "vier"); }},
  };
  for (const auto& c : changes) {
    c.Change();
    EXPECT_TRUE(watch.Changed()) << c.What;
    EXPECT_FALSE(watch.Changed()) << c.What;
  }

  // Folders watched besides the root (where linked files lead) count as well.
  const fs::path away = dir.Path() / "away";
  fs::create_directories(away);
  watch.SetFolders({away.string()});
  EXPECT_TRUE(watch.Changed());
  EXPECT_FALSE(watch.Changed());
  WriteFile(away / "stil.html", "fuenf");
  EXPECT_TRUE(watch.Changed());

  // A folder that cannot be watched is never trusted to stay the same.
  jwhost::TFolderWatch missing({(dir.Path() / "fehlt").string()});
  EXPECT_TRUE(missing.Changed());
  EXPECT_TRUE(missing.Changed());
}

}  // namespace
