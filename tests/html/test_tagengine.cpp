#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "JWTempDir.h"
#include "html/ZDEnhPageProducer.h"
#include "store/JWError.h"
#include "store/JWPlatform.h"

using namespace jw;
using ::testing::HasSubstr;

// The separator the engine joins its include directory with.
const std::string Sep(1, jw::platform::PathSeparator);

namespace {

// An engine whose FIELD tags answer from a fixed table; names not in it yield empty text.
struct FieldEngine {
  TZDEnhPageProducer p;
  std::map<std::string, std::string> fields;
  FieldEngine() {
    p.OnGetField = [this](TZDEnhPageProducer&, const std::string& name, const TZDParamList&) {
      auto it = fields.find(name);
      return it == fields.end() ? std::string() : it->second;
    };
  }
};

class IncludeDir : public ::testing::Test {
 protected:
  void SetUp() override { e.p.SetIncludePath(dir.string()); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / (name + ".html"), std::ios::binary) << bytes;
  }
  jw::test::TJWTempDir temp;
  const std::filesystem::path& dir = temp.Path();
  FieldEngine e;
};

}  // namespace

TEST(TagEngineScanner, TextOutsideTags) {
  TZDEnhPageProducer p;
  EXPECT_EQ(p.Content(), "");
  p.SetHTMLDoc({"<p>", "", "x"});
  EXPECT_EQ(p.Content(), "<p>\r\n\r\nx\r\n");  // document lines are joined with CR LF
  const std::pair<std::string, std::string> cases[] = {
      {"a\rb\x80\xFF\xE4\t \r\n<b >x> >", "a\rb\x80\xFF\xE4\t \r\n<b >x> >"},  // byte for byte
      {std::string("ab\0<#FIELD>cd", 13), "ab"},  // a NUL byte ends the template
      {"a < b", "a <b"},                          // "<" without "#" drops the blanks after it
      {"a <\r\n\tb<", "a <b<"},
      {"x <  ", "x <"},
  };
  for (const auto& [text, page] : cases) EXPECT_EQ(p.ContentOf(text), page) << text;
}

TEST(TagEngineScanner, RecognisesTagsWithBlanksAndAnyCase) {
  FieldEngine e;
  e.fields["X"] = "v";
  EXPECT_EQ(e.p.ContentOf("[< #FIELD NAME=X>]"), "[v]");
  EXPECT_EQ(e.p.ContentOf("[<#\r\n field name=X >] "), "[v] ");
  EXPECT_EQ(e.p.ContentOf("[<#FiElD nAmE=X>]"), "[v]");
  // "<" right before a tag is not swallowed by it.
  EXPECT_EQ(e.p.ContentOf("< <#FIELD NAME=X>"), "<v");
}

TEST(TagEngineScanner, TagNamesAndUnknownTags) {
  TZDEnhPageProducer p;
  std::vector<std::string> seen;
  p.OnCustomEvent = [&](TZDEnhPageProducer&, const std::string& tag, const TZDParamList& params) {
    seen.push_back(tag + "|" + (params.Empty() ? "" : params[0]));
    return std::string();
  };
  EXPECT_EQ(p.ContentOf("a<#FOO>b<#_x9 y>c<#1abc>d<#>e>f"), "abcdf");
  EXPECT_THAT(seen, ::testing::ElementsAre("FOO|", "_x9|y", "1|abc", ">|e"));
  seen.clear();
  // An unclosed tag takes the rest of the template as its parameters.
  EXPECT_EQ(p.ContentOf("a<#BAR p=1 q=2 \r\n"), "a");
  EXPECT_THAT(seen, ::testing::ElementsAre("BAR|p=1"));
  seen.clear();
  EXPECT_EQ(p.ContentOf("a<#"), "a");
  EXPECT_THAT(seen, ::testing::ElementsAre("|"));
}

TEST(TagEngineScanner, LinesOf4096BytesStopProduction) {
  TZDEnhPageProducer p;
  const std::string fits(4095, 'x');
  EXPECT_EQ(p.ContentOf("a\n" + fits + "\nb"), "a\n" + fits + "\nb");
  try {
    p.ContentOf("a\nb\n" + fits + "y\n");
    FAIL() << "expected a parser error";
  } catch (const EJWError& err) {
    EXPECT_STREQ(err.what(), "Zeile zu lang in Zeile 3");
  }
  // The carriage return of a line counts; so does a last line without a line feed.
  p.SetHTMLDoc({"ok", std::string(4094, 'x')});
  EXPECT_NO_THROW(p.Content());
  p.SetHTMLDoc({"ok", std::string(4095, 'x')});
  EXPECT_THROW(p.Content(), EJWError);
  EXPECT_THROW(p.ContentOf(std::string(5000, 'x')), EJWError);
  // Bytes after a NUL are not part of the template.
  EXPECT_EQ(p.ContentOf("ok" + std::string(1, '\0') + std::string(5000, 'x')), "ok");
}

TEST(TagEngineParams, DecodingQuotesAndDuplicates) {
  TZDEnhPageProducer p;
  TZDParamList got;
  p.OnCustomEvent = [&](TZDEnhPageProducer&, const std::string&, const TZDParamList& params) {
    got = params;
    return std::string();
  };
  p.ContentOf("<#T V=a+b W=%41%2b%%%e4 Q=\"x y\" S='s t' V=second flag E==e>");
  EXPECT_EQ(got.Values("v"), "a b");  // the first of a repeated name, in any case
  EXPECT_EQ(got.Values("e"), "=e");
  EXPECT_EQ(got.Values("flag"), "");  // an entry without "=" has no name
  EXPECT_EQ(got.Values("W"), "A+%\xE4");
  EXPECT_EQ(got.Values("Q"), "x y");
  EXPECT_EQ(got.Values("S"), "s");  // single quotes do not protect blanks
  EXPECT_EQ(got.Count(), 8);
  EXPECT_EQ(got[4], "t");

  p.ContentOf("<#T \"A=1 2\"B=3 C=\"4\"xD=5 E=\"6 F=7>");
  EXPECT_THAT(got.Items(), ::testing::ElementsAre("A=1 2", "B=3", "C=4", "D=5", "E=6 F=7"));

  // Entries end at blanks only; tabs stay in the entry; empty entries vanish.
  p.ContentOf("<#T a=1\tb=2 \"\" '' \r\n c=>");
  EXPECT_THAT(got.Items(), ::testing::ElementsAre("a=1\tb=2", "c="));

  p.SetStripParamQuotes(false);
  p.ContentOf("<#T Q=\"x y\" S='s' %22>");
  EXPECT_THAT(got.Items(), ::testing::ElementsAre("Q=\"x y\"", "S='s'", "\""));
}

TEST(TagEngineParams, BadPercentEscapeStopsProduction) {
  FieldEngine e;
  e.fields["X"] = "v";
  for (const char* bad :
       {"<#FIELD NAME=X V=%zz>", "<#FIELD NAME=X V=%4>", "<#T %>", "<#T a=%4g>"}) {
    EXPECT_THROW(e.p.ContentOf(std::string("a ") + bad + " b"), EJWError) << bad;
  }
}

TEST(TagEngineEvents, OrderAndVeto) {
  TZDEnhPageProducer p;
  std::vector<std::string> log;
  bool veto = false;
  p.OnBeforeCmd = [&](TZDEnhPageProducer&, const std::string& tag, const TZDParamList&,
                      bool& accept) {
    log.push_back("before " + tag);
    accept = !veto;
    return tag == "KEEP" ? std::string("kept") : std::string();
  };
  p.OnGetField = [&](TZDEnhPageProducer&, const std::string& name, const TZDParamList&) {
    log.push_back("field " + name);
    return std::string("F");
  };
  p.OnAfterCmd = [&](TZDEnhPageProducer&, const std::string& tag, const TZDParamList&) {
    log.push_back("after " + tag);
  };
  p.OnCustomEvent = [&](TZDEnhPageProducer&, const std::string& tag, const TZDParamList&) {
    log.push_back("custom " + tag);
    return std::string("C");
  };
  p.OnHTMLTag = [&](TZDEnhPageProducer&, TTag kind, const std::string& tag, const TZDParamList&,
                    std::string& text) {
    log.push_back("html " + tag + " " + text);
    EXPECT_EQ(kind, TTag::tgCustom);
    if (tag == "SWAP") text = "S";
  };

  EXPECT_EQ(p.ContentOf("<#FIELD NAME=n><#KEEP><#OTHER><#SWAP>"), "FkeptCS");
  EXPECT_THAT(log,
              ::testing::ElementsAre("before FIELD", "field n", "after FIELD", "html FIELD F",
                                     "before KEEP", "after KEEP", "html KEEP kept", "before OTHER",
                                     "after OTHER", "custom OTHER", "html OTHER C", "before SWAP",
                                     "after SWAP", "custom SWAP", "html SWAP C"));
  log.clear();
  veto = true;
  EXPECT_EQ(p.ContentOf("<#FIELD NAME=n>"), "C");
  EXPECT_THAT(log, ::testing::ElementsAre("before FIELD", "custom FIELD", "html FIELD C"));
}

TEST(TagEngineEvents, HandlerErrorsReachTheCaller) {
  TZDEnhPageProducer p;
  p.OnGetField = [](TZDEnhPageProducer&, const std::string&, const TZDParamList&) -> std::string {
    throw EJWError("boom");
  };
  EXPECT_THROW(p.ContentOf("<#FIELD NAME=X ELLIPSIS=TRUE MAXWIDTH=5>"), EJWError);
}

TEST(TagEngineField, NbspEllipsisAndMaxWidth) {
  FieldEngine e;
  e.fields["S"] =
      "Musterstra\xDF"
      "e 12";
  e.fields["NB"] = "&nbsp;";
  e.fields["NBU"] = "&NBSP;";
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=NB ELLIPSIS=TRUE>"), "&nbsp;");
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=none ELLIPSIS=TRUE>"), "");
  EXPECT_FALSE(e.p.DataMark());
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=NBU MARK=false>"), "&NBSP;");
  EXPECT_FALSE(e.p.DataMark());

  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=S ELLIPSIS=true MAXWIDTH=76>"), "Musterst...");
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=S MAXWIDTH=76>"),
            "Musterstra\xDF"
            "e 12");
  // Repeated parameters are applied in order: the last ELLIPSIS decides.
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=S ELLIPSIS=TRUE ELLIPSIS=FALSE MAXWIDTH=76>"),
            "Musterstra\xDF"
            "e 12");
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=S ELLIPSIS=FALSE ELLIPSIS=TRUE MAXWIDTH=76>"),
            "Musterst...");
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=S ELLIPSIS=TRUE>"),
            "Musterstra\xDF"
            "e 12<!--; Missing MAXWIDTH-->");
  EXPECT_THAT(e.p.ContentOf("<#FIELD NAME=S ELLIPSIS=TRUE MAXWIDTH=7x>"),
              ::testing::StartsWith("Musterstra\xDF"
                                    "e 12<!--; '7x' is"));
  EXPECT_TRUE(e.p.DataMark());

  e.p.SetErrStrPrefix("[");
  e.p.SetErrStrSuffix("]");
  EXPECT_EQ(e.p.ContentOf("<#FIELD NAME=S ELLIPSIS=TRUE>"),
            "Musterstra\xDF"
            "e 12[; Missing MAXWIDTH]");
}

TEST(TagEngineDefault, FontParameters) {
  TZDEnhPageProducer p;
  EXPECT_EQ(p.DefaultFont().Family, "Arial");
  EXPECT_EQ(
      p.ContentOf("<#DEFAULT FONT-SIZE=12 font-familie=Verdana FONT-STYLE=bold ELLIPSIS=TRUE>"),
      "");
  EXPECT_EQ(p.DefaultFont(), (TZDFont{"Verdana", 12, true, false, false, false}));
  EXPECT_TRUE(p.DefaultEllipsis());

  // A bad size is reported and the other parameters still apply.
  EXPECT_EQ(
      p.ContentOf("<#DEFAULT FONT-SIZE=big FONT-STYLE=Italic FONT-FAMILIE=Tahoma ELLIPSIS=no>"),
      "<!-- 'big' is not a valid integer value-->");
  EXPECT_EQ(p.DefaultFont(), (TZDFont{"Tahoma", 12, false, true, false, false}));
  EXPECT_FALSE(p.DefaultEllipsis());
  p.ContentOf("<#DEFAULT FONT-STYLE=underline>");
  EXPECT_EQ(p.DefaultFont(), (TZDFont{"Tahoma", 12, false, false, false, false}));
  // Each repeated parameter applies its own value, so the last one stands.
  EXPECT_EQ(p.ContentOf("<#DEFAULT FONT-SIZE=x FONT-SIZE=14 FONT-STYLE=bold FONT-STYLE=italic "
                        "ELLIPSIS=TRUE ELLIPSIS=no>"),
            "<!-- 'x' is not a valid integer value-->");
  EXPECT_EQ(p.DefaultFont(), (TZDFont{"Tahoma", 14, false, true, false, false}));
  EXPECT_FALSE(p.DefaultEllipsis());
}

TEST(TagEngineSettings, AssignSourcesAndPaths) {
  TZDEnhPageProducer a;
  a.SetIncludePath("inc");
  EXPECT_EQ(a.IncludePath(), "inc" + Sep);
  a.SetIncludePath("inc\\");
  EXPECT_EQ(a.IncludePath(), "inc\\");
  a.SetIncludePath("");
  EXPECT_EQ(a.IncludePath(), "");

  a.SetHTMLDoc({"x"});
  a.SetHTMLFile("page.html");
  EXPECT_TRUE(a.HTMLDoc().empty());
  a.SetHTMLDoc({"y"});
  EXPECT_EQ(a.HTMLFile(), "");

  a.SetIncludePath("dir");
  a.SetIncludeExt(".htm");
  a.SetErrStrPrefix("(");
  a.SetDefaultFont(TZDFont{"Verdana", 10, true, false, false, false});
  a.SetStripParamQuotes(false);
  a.OnGetField = [](TZDEnhPageProducer&, const std::string&, const TZDParamList&) {
    return std::string("f");
  };
  a.OnHTMLTag = [](TZDEnhPageProducer&, TTag, const std::string&, const TZDParamList&,
                   std::string& t) { t.assign(1, 'h'); };
  TZDEnhPageProducer b;
  b.Assign(a);
  EXPECT_EQ(b.IncludePath(), "dir" + Sep);
  EXPECT_EQ(b.IncludeExt(), ".htm");
  EXPECT_EQ(b.ErrStrPrefix(), "(");
  EXPECT_EQ(b.DefaultFont(), a.DefaultFont());
  EXPECT_TRUE(b.StripParamQuotes());
  EXPECT_FALSE(b.OnHTMLTag);
  EXPECT_EQ(b.ContentOf("<#FIELD NAME=x>"), "f");

  struct Derived : TZDEnhPageProducer {};
  Derived d;
  TZDEnhPageProducer c;
  try {
    c.Assign(d);
    FAIL();
  } catch (const EJWError& err) {
    EXPECT_STREQ(err.what(), "Klasse nicht kompatiebel!");
  }
  EXPECT_EQ(c.IncludeExt(), ".html");
}

TEST_F(IncludeDir, IncludesComeBackWithCrLfLines) {
  Write("plain", "a\rb\nc\r\n\r\nd");
  e.fields["X"] = "x";
  Write("nested", "<#FIELD NAME=X>\n<#INC FILE=plain>");
  EXPECT_EQ(e.p.ContentOf("[<#INC FILE=plain>]"), "[a\r\nb\r\nc\r\n\r\nd\r\n]");
  EXPECT_EQ(e.p.ContentOf("[<#INC FILE=nested>]"), "[x\r\na\r\nb\r\nc\r\n\r\nd\r\n\r\n]");

  e.p.SetHTMLFile((dir / "plain.html").string());
  EXPECT_EQ(e.p.Content(), "a\rb\nc\r\n\r\nd");  // a template file is scanned as it is
  e.p.SetHTMLFile((dir / "missing.html").string());
  EXPECT_THROW(e.p.Content(), EJWError);
}

TEST_F(IncludeDir, MissingFileText) {
  const std::string path = dir.string() + Sep + "adresse.html";
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=adresse>"), "<!-- File not found: " + path + " -->");
  TZDEnhPageProducer bare;
  EXPECT_EQ(bare.ContentOf("<#INC FILE=adresse>"), "<!-- File not found: adresse.html -->");
  // A directory is not an include file.
  std::filesystem::create_directory(dir / "sub.html");
  EXPECT_THAT(e.p.ContentOf("<#INC FILE=sub>"), HasSubstr("File not found"));
}

TEST_F(IncludeDir, AcceptDataShowsIncludesOnlyWithData) {
  Write("row", "<td><#FIELD NAME=A></td><td><#FIELD NAME=B></td>");
  e.fields["B"] = "&nbsp;";
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=row ACCEPT=data>"), "");
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=row>"), "<td></td><td>&nbsp;</td>\r\n");
  EXPECT_FALSE(e.p.DataMark());

  e.fields["A"] = "a";
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=row ACCEPT=DATA>"), "<td>a</td><td>&nbsp;</td>\r\n");
  EXPECT_TRUE(e.p.DataMark());  // the include's mark passes up

  // Data behind MARK=FALSE does not count.
  Write("quiet", "<#FIELD NAME=A MARK=FALSE>");
  FieldEngine f;
  f.p.SetIncludePath(dir.string());
  f.fields["A"] = "a";
  EXPECT_EQ(f.p.ContentOf("<#INC FILE=quiet ACCEPT=DATA>"), "");
  // Nor does the error text of a missing include.
  Write("broken", "<#INC FILE=missing>");
  EXPECT_EQ(f.p.ContentOf("<#INC FILE=broken ACCEPT=DATA>"), "");
  EXPECT_FALSE(f.p.DataMark());

  // ACCEPT=EVER marks even an empty include as data.
  Write("empty", "");
  Write("ever", "<#INC FILE=empty ACCEPT=EVER>");
  Write("plain", "<#INC FILE=empty>");
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=ever ACCEPT=DATA>"), "\r\n");
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=plain ACCEPT=DATA>"), "");
}

TEST_F(IncludeDir, SelfIncludeStopsAtSixteenLevels) {
  Write("self", "<#INC FILE=self>");
  const std::string out = e.p.ContentOf("<#INC FILE=self>");
  const std::string err = "<!-- Include too deep: " + dir.string() + Sep + "self.html -->";
  // Sixteen include levels, each adding its line end, around one error text.
  std::string expected = err;
  for (int i = 0; i < 16; ++i) expected += "\r\n";
  EXPECT_EQ(out, expected);
}

TEST_F(IncludeDir, IncludeBombIsBounded) {
  std::string bomb;
  for (int i = 0; i < 10; ++i) bomb += "<#INC FILE=bomb>";
  Write("bomb", bomb);
  const std::string out = e.p.ContentOf("<#INC FILE=bomb>");
  EXPECT_THAT(out, HasSubstr("Too many includes"));
  // The budget belongs to one page: the next page starts afresh.
  Write("one", "1");
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=one>"), "1\r\n");
}

// Include names may come from templates built by others: only files inside the include folder.
TEST_F(IncludeDir, IncludeNamesLeavingTheFolderAreRefused) {
  std::filesystem::create_directory(dir / "inc");
  std::filesystem::create_directory(dir / "inc" / "sub");
  std::ofstream(dir / "secret", std::ios::binary) << "SECRET";
  std::ofstream(dir / "secret.html", std::ios::binary) << "SECRET";
  std::ofstream(dir / "inc" / "row.html", std::ios::binary) << "row";
  e.p.SetIncludePath((dir / "inc").string());
  const std::vector<std::string> refused = {
      "../secret%00", "row%00",     "../secret",         "sub/../../secret",
      "..\\secret",   ".. /secret", "sub/.../../secret", (dir / "secret").string(),
      "C:secret",     "\\secret"};
  for (const std::string& name : refused) {
    SCOPED_TRACE(name);
    const std::string out = e.p.ContentOf(std::string("<#INC FILE=\"") + name + "\">");
    EXPECT_THAT(out, HasSubstr("<!-- Include name refused: "));
    EXPECT_EQ(out.find('\0'), std::string::npos);
    EXPECT_EQ(out.find("SECRET"), std::string::npos);
  }
  // Names that stay inside the folder still work.
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=row>|<#INC FILE=sub/../row>|<#INC FILE=./sub/./../row>"),
            "row\r\n|row\r\n|row\r\n");
}

// A 1 MB include that includes itself twice: the include count alone would let it scan 10 GB.
TEST_F(IncludeDir, TemplateTextScannedPerPageIsBounded) {
  std::string big;
  while (big.size() < (1u << 20)) big += std::string(99, 'x') + "\n";
  Write("self", big + "<#INC FILE=self><#INC FILE=self>");
  const std::string out = e.p.ContentOf("<#INC FILE=self>");
  EXPECT_THAT(out, HasSubstr("<!-- Too much template text: "));
  // Each include line comes back with CR LF, so a page holds at most half the budget of it.
  EXPECT_LE(out.size(), TZDEnhPageProducer::kMaxScannedBytes);
  EXPECT_GE(out.size(), TZDEnhPageProducer::kMaxScannedBytes / 4);
}

TEST(TagEngineBounds, PageSizeIsBounded) {
  TZDEnhPageProducer p;
  const std::string big(8 << 20, 'x');
  p.OnGetField = [&](TZDEnhPageProducer&, const std::string&, const TZDParamList&) { return big; };
  std::string text;
  for (int i = 0; i < 7; ++i) text += "<#FIELD>";
  EXPECT_EQ(p.ContentOf(text).size(), 7 * big.size());
  EXPECT_THROW(p.ContentOf(text + text), EJWError);
}

#ifndef _WIN32
// Links inside the include folder: followed while they stay inside, refused when they lead out,
// and a change behind one is seen by the next page.
TEST_F(IncludeDir, LinksLeadingOutOfTheFolderAreRefused) {
  namespace fs = std::filesystem;
  fs::create_directories(dir / "inc" / "sub");
  std::ofstream(dir / "secret.html", std::ios::binary) << "SECRET";
  std::ofstream(dir / "inc" / "sub" / "row.html", std::ios::binary) << "row";
  fs::create_symlink("../secret.html", dir / "inc" / "leak.html");
  fs::create_symlink(dir / "secret.html", dir / "inc" / "abs.html");
  fs::create_symlink("..", dir / "inc" / "up");
  fs::create_symlink("sub/row.html", dir / "inc" / "ok.html");
  fs::create_symlink("sub", dir / "inc" / "lsub");
  e.p.SetIncludePath((dir / "inc").string());
  for (const char* name : {"leak", "abs", "up/secret", "lsub/../leak"}) {
    SCOPED_TRACE(name);
    const std::string out = e.p.ContentOf(std::string("<#INC FILE=") + name + ">");
    EXPECT_THAT(out, HasSubstr("<!-- Include name refused: "));
    EXPECT_EQ(out.find("SECRET"), std::string::npos);
  }
  EXPECT_EQ(e.p.TemplateFile("leak.html").State, TZDTemplateFile::tfOutside);
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=ok>|<#INC FILE=lsub/row>"), "row\r\n|row\r\n");

  // Renamed over behind the links: the next page reads the new file.
  std::ofstream(dir / "inc" / "sub" / "new.html", std::ios::binary) << "new";
  fs::rename(dir / "inc" / "sub" / "new.html", dir / "inc" / "sub" / "row.html");
  EXPECT_EQ(e.p.ContentOf("<#INC FILE=ok>|<#INC FILE=lsub/row>"), "new\r\n|new\r\n");
}
#endif
