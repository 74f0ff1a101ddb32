// The demo host on the bundled sample directory, driven through its command line the way a user
// would. Checks that the page templates are complete (no include missing, no field unknown) for
// every page of every sample entry, and that pictures and thumbnails come out as real images.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "JWTempDir.h"

namespace {

namespace fs = std::filesystem;

struct TRun {
  int Code = -1;
  std::string Out, Err;
};

std::string ReadAll(const fs::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class HostCli : public ::testing::Test {
 protected:
  jw::test::TJWTempDir Temp;
  const fs::path& Dir = Temp.Path();

  // Runs jwhost with the given arguments (already shell-quoted where needed).
  TRun Run(const std::string& AArgs) {
    const fs::path out = Dir / "stdout", err = Dir / "stderr";
    const std::string cmd = std::string("QT_QPA_PLATFORM=offscreen '") + JWHOST_EXE + "' " + AArgs +
                            " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(cmd.c_str());
    TRun r;
    r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Out = ReadAll(out);
    r.Err = ReadAll(err);
    return r;
  }

  // The entries of the sample directory, or of the one the arguments name.
  std::vector<unsigned> EntryIds(const std::string& AData = "") {
    std::vector<unsigned> ids;
    std::istringstream in(Run(AData + "list").Out);
    for (unsigned id; in >> id;) ids.push_back(id);
    return ids;
  }
};

// Every page of every entry, plus the branch search page and the location page: the templates must
// leave no tag behind, name no missing include and ask for no field the library does not know.
TEST_F(HostCli, EveryPageOfEverySampleEntryIsComplete) {
  const fs::path pages = Dir / "pages";
  const TRun r = Run("pages '" + pages.string() + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  size_t files = 0;
  for (const auto& f : fs::directory_iterator(pages)) {
    const std::string html = ReadAll(f.path()), where = f.path().filename().string();
    ++files;
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u) << where;
    EXPECT_NE(html.find("</html>"), std::string::npos) << where;
    EXPECT_EQ(html.find("File not found"), std::string::npos) << where;
    EXPECT_EQ(html.find("N/A"), std::string::npos) << where;
    EXPECT_EQ(html.find("<#"), std::string::npos) << where;
    EXPECT_EQ(html.find("Unknown Pageindex"), std::string::npos) << where;
  }
  EXPECT_GE(files, 47u * 4);
}

TEST_F(HostCli, PageShowsTheEntryAndUnknownEntriesFail) {
  TRun r = Run("page 1003 --out '" + (Dir / "p.html").string() + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  const std::string html = ReadAll(Dir / "p.html");
  // Windows-1252 bytes: "Süßes Glück", and the slogan's line break kept as markup.
  EXPECT_NE(html.find("S\xFC\xDF"
                      "es Gl\xFC"
                      "ck"),
            std::string::npos);
  EXPECT_NE(html.find("Kaffee<BR>aus fairem Handel"), std::string::npos);
  EXPECT_NE(html.find("logo.jpg?jwid=1003&tmpid=1"), std::string::npos);

  r = Run("page 99999");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("nicht gefunden"), std::string::npos) << r.Err;
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
  // Numbers are decimal: "010" is entry 10 (no such entry), not entry 8.
  r = Run("page 010");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("#10 JW Eintrag nicht gefunden"), std::string::npos) << r.Err;
}

TEST_F(HostCli, ImagesAreJpegFilesOfTheTemplateAndLogo) {
  TRun r = Run("images 2001 '" + (Dir / "a").string() + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  const QImage bg((Dir / "a" / "template.jpg").c_str(), "JPEG");
  EXPECT_EQ(bg.size(), QSize(705, 460));
  EXPECT_EQ(QImage((Dir / "a" / "button1.jpg").c_str(), "JPEG").size(), QSize(140, 16));
  EXPECT_EQ(QImage((Dir / "a" / "button2.jpg").c_str(), "JPEG").size(), QSize(140, 20));
  EXPECT_EQ(QImage((Dir / "a" / "logo.jpg").c_str(), "JPEG").size(), QSize(133, 57));

  // No logo: three pictures. An absent template falls back to the default one.
  r = Run("images 1008 '" + (Dir / "b").string() + "' --template 77");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_FALSE(fs::exists(Dir / "b" / "logo.jpg"));
  EXPECT_EQ(QImage((Dir / "b" / "template.jpg").c_str(), "JPEG").size(), QSize(705, 460));
}

TEST_F(HostCli, ThumbnailKeepsTheWindowsProportions) {
  const fs::path png = Dir / "t.png";
  const TRun r = Run("thumb 2001 '" + png.string() + "' --width 200");
  if (r.Code == 1 && r.Err.find("not available") != std::string::npos)
    GTEST_SKIP() << r.Err;  // a library built without the viewer
  ASSERT_EQ(r.Code, 0) << r.Err;
  const QImage img(png.c_str(), "PNG");
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
  const std::vector<unsigned> ids = EntryIds(dataArg);
  ASSERT_EQ(ids.size(), 130u);
  EXPECT_EQ(ids.front(), 100000u);

  const TRun images = Run(dataArg + "images 100001 '" + (Dir / "img").string() + "'");
  ASSERT_EQ(images.Code, 0) << images.Err;
  EXPECT_EQ(QImage((Dir / "img" / "template.jpg").c_str(), "JPEG").size(), QSize(705, 460));
  const TRun buttons = Run(dataArg + "buttons 100120");  // a member of the first chain
  ASSERT_EQ(buttons.Code, 0) << buttons.Err;
  EXPECT_NE(buttons.Out.find("brBranches"), std::string::npos) << buttons.Out;
}

}  // namespace
