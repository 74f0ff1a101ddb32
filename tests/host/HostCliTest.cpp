// The demo host on the bundled sample directory, driven through its command line the way a user
// would. Checks that the page templates are complete (no include missing, no field unknown) for
// every page of every sample entry, and that pictures and thumbnails come out as real images.
#include <sys/wait.h>

#include <QImage>

#include "../html/Expected.h"
#include "JWTempDir.h"

namespace {

namespace fs = std::filesystem;
using jw::test::ReadWhole;

struct TRun {
  int Code = -1;
  std::string Out, Err;
};

class HostCli : public ::testing::Test {
 protected:
  jw::test::TJWTempDir Temp;
  const fs::path& Dir = Temp.Path();

  // Runs jwhost with the given arguments (already shell-quoted where needed).
  TRun Run(const std::string& AArgs) {
    const fs::path out = Dir / "stdout", err = Dir / "stderr";
    const int status = std::system((std::string("QT_QPA_PLATFORM=offscreen '") + JWHOST_EXE + "' " +
                                    AArgs + " >'" + out.string() + "' 2>'" + err.string() + "'")
                                       .c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(out), ReadWhole(err)};
  }
  QSize JpegSize(const std::string& AFile) { return QImage((Dir / AFile).c_str(), "JPEG").size(); }
};

// Every page of every entry, plus the branch search page and the location page: the templates must
// leave no tag behind, name no missing include and ask for no field the library does not know.
TEST_F(HostCli, EveryPageOfEverySampleEntryIsComplete) {
  const TRun r = Run("pages '" + (Dir / "pages").string() + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  size_t files = 0;
  for (const auto& f : fs::directory_iterator(Dir / "pages")) {
    const std::string html = ReadWhole(f.path()), where = f.path().filename().string();
    ++files;
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u) << where;
    EXPECT_NE(html.find("</html>"), std::string::npos) << where;
    for (const char* wrong : {"File not found", "N/A", "<#", "Unknown Pageindex"})
      EXPECT_EQ(html.find(wrong), std::string::npos) << where << ": " << wrong;
  }
  EXPECT_GE(files, 47u * 4);
}

TEST_F(HostCli, PageShowsTheEntryAndUnknownEntriesFail) {
  TRun r = Run("page 1003 --out '" + (Dir / "p.html").string() + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  const std::string html = ReadWhole(Dir / "p.html");
  // Windows-1252 bytes: "Süßes Glück", and the slogan's line break kept as markup.
  for (const char* shown :
       {"S\374\337es Gl\374ck", "Kaffee<BR>aus fairem Handel", "logo.jpg?jwid=1003&tmpid=1"})
    EXPECT_NE(html.find(shown), std::string::npos) << shown;
  r = Run("page 99999");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("nicht gefunden"), std::string::npos) << r.Err;
  // Numbers are decimal: "010" is entry 10 (no such entry), not entry 8.
  r = Run("page 010");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("#10 JW Eintrag nicht gefunden"), std::string::npos) << r.Err;
}

// Help and version go to stdout with exit 0; a usage error is one line of reason, then the usage of
// the command, on stderr with exit 2 and nothing on stdout.
TEST_F(HostCli, CommandLineAnswersHelpVersionAndUsageErrors) {
  TRun r = Run("page --help");
  EXPECT_EQ(r.Code, 0);
  EXPECT_NE(r.Out.find("jwhost page"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("--params"), std::string::npos) << r.Out;
  r = Run("--version");
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out.rfind(std::string("jwhost ") + JW_PACKAGE_VERSION + " (", 0), 0u) << r.Out;
  const TRun v = Run("version");
  ASSERT_EQ(v.Code, 0) << v.Err;
  EXPECT_NE(r.Out.find(v.Out.substr(0, v.Out.size() - 1)), std::string::npos) << r.Out;
  for (const char* bad : {"page x", "page", "page 1003 --bogus", "bogus", "", "page 010x",
                          "thumb 1003 t.png --width 1", "serve --port 65536"}) {
    r = Run(bad);
    EXPECT_EQ(r.Code, 2) << bad;
    EXPECT_TRUE(r.Out.empty()) << bad;
    EXPECT_EQ(r.Err.rfind("jwhost: ", 0), 0u) << bad << ": " << r.Err;
    EXPECT_NE(r.Err.find("\nUsage: jwhost"), std::string::npos) << bad << ": " << r.Err;
  }
}

// JPEG files of the template, the buttons and the logo; without a logo three pictures, and an
// absent template falls back to the default one. The thumbnail keeps the window's proportions.
TEST_F(HostCli, ImagesAndThumbnails) {
  ASSERT_EQ(Run("images 2001 '" + (Dir / "a").string() + "'").Code, 0);
  ASSERT_EQ(Run("images 1008 '" + (Dir / "b").string() + "' --template 77").Code, 0);
  for (const auto& [file, size] : {std::pair{"a/template.jpg", QSize(705, 460)},
                                   {"a/button1.jpg", QSize(140, 16)},
                                   {"a/button2.jpg", QSize(140, 20)},
                                   {"a/logo.jpg", QSize(133, 57)},
                                   {"b/template.jpg", QSize(705, 460)}})
    EXPECT_EQ(JpegSize(file), size) << file;
  EXPECT_FALSE(fs::exists(Dir / "b" / "logo.jpg"));

  const TRun r = Run("thumb 2001 '" + (Dir / "t.png").string() + "' --width 200");
  if (r.Code == 1 && r.Err.find("not available") != std::string::npos)
    GTEST_SKIP() << r.Err;  // a library built without the viewer
  ASSERT_EQ(r.Code, 0) << r.Err;
  const QImage img((Dir / "t.png").c_str(), "PNG");
  EXPECT_EQ(img.size(), QSize(200, 130));  // 705 x 460 scaled to 200 wide
  // Not a blank picture: the template background has colour in its header band.
  EXPECT_NE(img.pixel(5, 5), img.pixel(100, 100));
}

// A synthetic directory is a complete data directory: every entry is listed, and its pictures and
// buttons come out of the library like those of the sample.
TEST_F(HostCli, SyntheticDirectoryServesLikeTheSample) {
  const fs::path data = Dir / "synth";
  const std::string cmd =
      std::string("'") + JWPACK_EXE + "' synth 130 '" + data.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string dataArg = "--data '" + data.string() + "' ";
  std::istringstream list(Run(dataArg + "list").Out);
  std::vector<unsigned> ids{std::istream_iterator<unsigned>(list), {}};
  ASSERT_EQ(ids.size(), 130u);
  EXPECT_EQ(ids.front(), 100000u);
  ASSERT_EQ(Run(dataArg + "images 100001 '" + (Dir / "img").string() + "'").Code, 0);
  EXPECT_EQ(JpegSize("img/template.jpg"), QSize(705, 460));
  const TRun buttons = Run(dataArg + "buttons 100120");  // a member of the first chain
  ASSERT_EQ(buttons.Code, 0) << buttons.Err;
  EXPECT_NE(buttons.Out.find("brBranches"), std::string::npos) << buttons.Out;
}

}  // namespace
