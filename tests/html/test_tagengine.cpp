// The tag engine. Text cases in cases/engine.txt: a template line, then its page ("=*" when it
// marked data, "!" the error); "@" lines set up. Events, settings, budgets and links are here.
#include <gmock/gmock.h>

#include <map>

#include "Expected.h"
#include "JWTempDir.h"
#include "html/ZDEnhPageProducer.h"
#include "store/JWError.h"
#include "store/JWPlatform.h"

using namespace jw;
using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

const std::string Sep(1, jw::platform::PathSeparator);

// FIELD tags answer from a table (else empty text); includes come from a temporary folder.
class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    p.OnGetField = [this](TZDEnhPageProducer&, const std::string& name, const TZDParamList&) {
      auto it = fields.find(name);
      return it == fields.end() ? std::string() : it->second;
    };
    p.SetIncludePath(dir.string());
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / (name + ".html"), std::ios::binary) << bytes;
  }
  jw::test::TJWTempDir temp;
  const fs::path& dir = temp.Path();
  struct : TZDEnhPageProducer {
    using TZDEnhPageProducer::SetDataMark;  // the mark stays until cleared
  } p;
  std::map<std::string, std::string> fields;
};

}  // namespace

TEST_F(Engine, Cases) {
  auto run = [this](const std::string& text) -> std::string {
    const size_t blank = text.find(' '), eq = text.find('=');
    const std::string verb = text.substr(0, blank), arg = text.substr(blank + 1);
    const std::string name = arg.substr(0, eq - blank - 1);
    const std::string value = eq == std::string::npos ? "" : text.substr(eq + 1);
    if (verb == "@field") fields[name] = value;
    if (verb == "@file") Write(name, value);
    if (verb == "@bare") std::ofstream(dir / name, std::ios::binary) << value;  // no extension
    if (verb == "@dir") fs::create_directories(dir / arg);
    if (verb == "@include") p.SetIncludePath(blank == std::string::npos ? "" : arg);
    if (verb == "@custom")  // unknown tags show as {TAG|param:value|...}, values decoded
      p.OnCustomEvent = [](TZDEnhPageProducer&, const std::string& tag, const TZDParamList& ps) {
        std::string s = "{" + tag;
        for (const std::string& item : ps.Items())
          s += "|" + item +
               (item.find('=') == item.npos ? "" : ":" + ps.Values(item.substr(0, item.find('='))));
        return s + "}";
      };
    if (verb == "@nocustom") p.OnCustomEvent = nullptr;
    if (verb == "@keepquotes") p.SetStripParamQuotes(false);
    if (verb == "@errstr") p.SetErrStrPrefix(arg.substr(0, 1)), p.SetErrStrSuffix(arg.substr(1));
    const TZDFont f = p.DefaultFont();
    if (verb == "@font")
      return "=" + f.Family + " " + std::to_string(f.Size) + (f.Bold ? " bold" : "") +
             (f.Italic ? " italic" : "") + (f.Underline || f.StrikeOut ? " lines" : "") +
             (p.DefaultEllipsis() ? " ellipsis" : "");
    if (verb[0] == '@' && verb != "@page") return "";
    p.SetDataMark(false);
    if (verb == "@page") p.SetHTMLFile(arg);
    const std::string page = verb == "@page" ? p.Content() : p.ContentOf(text);
    return (p.DataMark() ? "=*" : "=") + page;
  };
  // The engine joins its include folder with the platform's separator.
  jw::test::RunCases(
      fs::path(JW_HTML_CASES) / "engine.txt", [] {}, run, "<dir>/", dir.string() + Sep);
}

TEST(TagEngine, DocumentLinesAndLinesOf4096Bytes) {
  TZDEnhPageProducer p;
  EXPECT_EQ(p.Content(), "");
  p.SetHTMLDoc({"<p>", "", "x"});
  EXPECT_EQ(p.Content(), "<p>\r\n\r\nx\r\n");  // document lines are joined with CR LF
  const std::string fits(4095, 'x');
  EXPECT_EQ(p.ContentOf("a\n" + fits + "\nb"), "a\n" + fits + "\nb");
  EXPECT_THAT([&] { p.ContentOf("a\nb\n" + fits + "y\n"); },
              ThrowsMessage<EJWError>(StrEq("Zeile zu lang in Zeile 3")));
  // The carriage return of a line counts; so does a last line without a line feed.
  EXPECT_NO_THROW((p.SetHTMLDoc({"ok", std::string(4094, 'x')}), p.Content()));
  EXPECT_THROW((p.SetHTMLDoc({"ok", std::string(4095, 'x')}), p.Content()), EJWError);
  EXPECT_THROW(p.ContentOf(std::string(5000, 'x')), EJWError);
  // Bytes after a NUL are not part of the template.
  EXPECT_EQ(p.ContentOf("ok" + std::string(1, '\0') + std::string(5000, 'x')), "ok");
}

TEST(TagEngine, EventOrderVetoAndErrors) {
  TZDEnhPageProducer p;
  std::string log;
  bool veto = false;
  p.OnBeforeCmd = [&](auto&, const std::string& tag, auto&, bool& accept) {
    log += "before " + tag + ";";
    accept = !veto;
    return tag == "KEEP" ? std::string("kept") : std::string();
  };
  p.OnGetField = [&](auto&, const std::string& name, auto&) {
    return log += "field " + name + ";", name == "boom" ? throw EJWError("boom") : std::string("F");
  };
  p.OnAfterCmd = [&](auto&, const std::string& tag, auto&) { log += "after " + tag + ";"; };
  p.OnCustomEvent = [&](auto&, const std::string& tag, auto&) {
    return log += "custom " + tag + ";", std::string("C");
  };
  p.OnHTMLTag = [&](auto&, TTag kind, const std::string& tag, auto&, std::string& text) {
    log += "html " + tag + " " + text + (kind == TTag::tgCustom ? ";" : " of another kind;");
    if (tag == "SWAP") text = "S";
  };
  EXPECT_EQ(p.ContentOf("<#FIELD NAME=n><#KEEP><#OTHER><#SWAP>"), "FkeptCS");
  EXPECT_EQ(log,
            "before FIELD;field n;after FIELD;html FIELD F;before KEEP;after KEEP;html KEEP kept;"
            "before OTHER;after OTHER;custom OTHER;html OTHER C;before SWAP;after SWAP;custom "
            "SWAP;html SWAP C;");
  log.clear(), veto = true;
  EXPECT_EQ(p.ContentOf("<#FIELD NAME=n>"), "C");
  EXPECT_EQ(log, "before FIELD;custom FIELD;html FIELD C;");
  veto = false;
  EXPECT_THROW(p.ContentOf("<#FIELD NAME=boom ELLIPSIS=TRUE MAXWIDTH=5>"), EJWError);
}

TEST(TagEngine, AssignSourcesAndPaths) {
  TZDEnhPageProducer a;
  auto path = [&](const char* APath) { return a.SetIncludePath(APath), a.IncludePath(); };
  EXPECT_EQ(path("inc"), "inc" + Sep);
  EXPECT_EQ(path("inc\\"), "inc\\");
  EXPECT_EQ(path(""), "");
  a.SetHTMLDoc({"x"});
  a.SetHTMLFile("page.html");
  EXPECT_TRUE(a.HTMLDoc().empty());
  a.SetHTMLDoc({"y"});
  EXPECT_EQ(a.HTMLFile(), "");

  // Assign takes the settings and the field event, not the quote setting or the other events.
  a.SetIncludePath("dir"), a.SetIncludeExt(".htm"), a.SetErrStrPrefix("(");
  a.SetDefaultFont(TZDFont{"Verdana", 10, true, false, false, false});
  a.SetStripParamQuotes(false);
  a.OnGetField = [](auto&, auto&, auto&) { return std::string("f"); };
  a.OnHTMLTag = [](auto&, TTag, auto&, auto&, std::string& t) { t = "h"; };
  TZDEnhPageProducer b;
  b.Assign(a);
  EXPECT_EQ(std::tuple(b.IncludePath(), b.IncludeExt(), b.ErrStrPrefix(), b.StripParamQuotes()),
            std::tuple("dir" + Sep, ".htm", "(", true));
  EXPECT_EQ(b.DefaultFont(), a.DefaultFont());
  EXPECT_FALSE(b.OnHTMLTag);
  EXPECT_EQ(b.ContentOf("<#FIELD NAME=x>"), "f");

  struct Derived : TZDEnhPageProducer {};
  Derived d;
  TZDEnhPageProducer c;
  EXPECT_THAT([&] { c.Assign(d); }, ThrowsMessage<EJWError>(StrEq("Klasse nicht kompatiebel!")));
  EXPECT_EQ(c.IncludeExt(), ".html");
}

// Include count, template text scanned and page size are bounded per page: the next page starts
// afresh. A 1 MB include that includes itself twice would scan 10 GB on the include count alone.
TEST_F(Engine, BudgetsPerPage) {
  std::string bomb;
  for (int i = 0; i < 10; ++i) bomb += "<#INC FILE=bomb>";
  Write("bomb", bomb);
  EXPECT_THAT(p.ContentOf("<#INC FILE=bomb>"), HasSubstr("Too many includes"));
  Write("one", "1");
  EXPECT_EQ(p.ContentOf("<#INC FILE=one>"), "1\r\n");

  std::string big;
  while (big.size() < (1u << 20)) big += std::string(99, 'x') + "\n";
  Write("self", big + "<#INC FILE=self><#INC FILE=self>");
  const std::string out = p.ContentOf("<#INC FILE=self>");
  EXPECT_THAT(out, HasSubstr("<!-- Too much template text: "));
  // Each include line comes back with CR LF, so a page holds at most half the budget of it.
  EXPECT_LE(out.size(), TZDEnhPageProducer::kMaxScannedBytes);
  EXPECT_GE(out.size(), TZDEnhPageProducer::kMaxScannedBytes / 4);

  fields["big"] = std::string(8 << 20, 'x');
  std::string text;
  for (int i = 0; i < 7; ++i) text += "<#FIELD NAME=big>";
  EXPECT_EQ(p.ContentOf(text).size(), 7 * fields["big"].size());
  EXPECT_THROW(p.ContentOf(text + text), EJWError);
}

#ifndef _WIN32
// Links inside the include folder: followed while they stay inside, refused when they lead out,
// and a change behind one is seen by the next page.
TEST_F(Engine, LinksLeadingOutOfTheFolderAreRefused) {
  fs::create_directories(dir / "inc" / "sub");
  Write("secret", "SECRET"), Write("inc/sub/row", "row");
  for (const auto& [to, from] : {std::pair<fs::path, const char*>{"../secret.html", "leak.html"},
                                 {dir / "secret.html", "abs.html"},
                                 {"..", "up"},
                                 {"sub/row.html", "ok.html"},
                                 {"sub", "lsub"}})
    fs::create_symlink(to, dir / "inc" / from);
  p.SetIncludePath((dir / "inc").string());
  for (const char* name : {"leak", "abs", "up/secret", "lsub/../leak"}) {
    const std::string out = p.ContentOf(std::string("<#INC FILE=") + name + ">");
    EXPECT_THAT(out, HasSubstr("<!-- Include name refused: ")) << name;
    EXPECT_EQ(out.find("SECRET"), std::string::npos) << name;
  }
  EXPECT_EQ(p.TemplateFile("leak.html").State, TZDTemplateFile::tfOutside);
  EXPECT_EQ(p.ContentOf("<#INC FILE=ok>|<#INC FILE=lsub/row>"), "row\r\n|row\r\n");
  // Renamed over behind the links: the next page reads the new file.
  Write("inc/sub/new", "new");
  fs::rename(dir / "inc" / "sub" / "new.html", dir / "inc" / "sub" / "row.html");
  EXPECT_EQ(p.ContentOf("<#INC FILE=ok>|<#INC FILE=lsub/row>"), "new\r\n|new\r\n");
}
#endif

// A parameter list keeps a name index: it must follow changes made after the list was built.
TEST(ParamList, LookupsFollowChanges) {
  TZDParamList l({"Name=first", "NAME=second"});
  l.SetValue("name", "");
  l.SetValue("New", "n");
  EXPECT_EQ(l.Values("NAME"), "second");
  EXPECT_EQ(l.Values("new"), "n");
}
