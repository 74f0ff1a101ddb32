// The demo host: its helpers, its command line on the sample, and its web server (the HTTP layer
// with small limits, and `jwhost serve`) under hostile and careless clients over raw sockets.
#include <arpa/inet.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "../html/Expected.h"
#include "JWTempDir.h"
#include "jwhost.h"
#include "jwhosthttp.h"
#include "jwhostwatch.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;
using jw::test::ReadWhole;

void Write(const fs::path& AFile, const std::string& AText) {
  std::ofstream(AFile, std::ios::binary) << AText;
}

// A synthetic data directory of ACount entries from 100000 on.
void Synth(const fs::path& ADir, int ACount) {
  const std::string cmd = "'" JWPACK_EXE "' synth " + std::to_string(ACount) + " '" + ADir.string();
  ASSERT_EQ(std::system((cmd + "' >/dev/null 2>&1").c_str()), 0);
}

TEST(HostQuery, Cases) {
  auto run = [](const std::string& ALine) {
    const size_t blank = ALine.find(' '), bar = ALine.find('|'), last = ALine.rfind('|');
    const std::string verb = ALine.substr(0, blank), arg = ALine.substr(blank + 1);
    if (verb == "decode") return "=" + jwhost::DecodeQuery(arg);
    if (verb == "etag") return "=" + std::to_string(jwhost::ETagMatches(arg, "\"a\""));
    return "=" + jwhost::QueryValue(ALine.substr(blank + 1, bar - blank - 1),
                                    ALine.substr(bar + 1, last - bar - 1), ALine.substr(last + 1));
  };
  jw::test::RunCases(
      JW_HOST_CASES "/query.txt", [] {}, run);
}

TEST(HostIndex, ReadsPresentEntriesAndNeverTrustsTheCount) {
  const jw::test::TJWTempDir temp;
  std::string words;  // little-endian: a count far beyond the file, then id, offset, size
  for (uint32_t v : {1000000u, 7u, 0u, 10u, 8u, 10u, 0u /* size 0: not present */, 9u, 10u, 5u})
    words += std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  Write(temp.Path() / "JWDAT.SRM", words);
  std::vector<uint32_t> ids;
  std::string error;
  ASSERT_TRUE(jwhost::ReadEntryIds(temp.Path().string(), ids, error)) << error;
  EXPECT_EQ(ids, (std::vector<uint32_t>{7, 9}));
  EXPECT_FALSE(jwhost::ReadEntryIds((temp.Path() / "missing").string(), ids, error));
}

// A change the watch misses would serve stale pages: every way of replacing a file must be seen.
TEST(HostFolderWatch, EveryWayOfChangingAFileIsSeenOnce) {
  jw::test::TJWTempDir dir;
  const fs::path data = dir.Path() / "data", other = dir.Path() / "other",
                 link = dir.Path() / "current", file = data / "JWDAT.SRM";
  fs::create_directories(data), fs::create_directories(other);
  Write(file, "eins");
  fs::create_directory_symlink(data, link);
  jwhost::TFolderWatch watch({link.string()});
  auto seenOnce = [&] { return watch.Changed() && !watch.Changed(); };  // once, then no more
  EXPECT_TRUE(seenOnce());                                              // nothing known yet
  // clang-format off
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"rewritten in place", [&] { Write(file, "zwei"); }},
      {"only its time", [&] { fs::last_write_time(file, fs::last_write_time(file) + 1s); }},
      {"renamed over", [&] { Write(data / "neu", "drei"), fs::rename(data / "neu", file); }},
      {"removed", [&] { fs::remove(file); }},
      {"the folder swapped", [&] { fs::remove(link), fs::create_directory_symlink(other, link); }},
      {"a file in the new folder", [&] { Write(other / "JWDAT.SRM", "vier"); }},
  };
  // clang-format on
  for (const auto& [what, change] : changes) {
    change();
    EXPECT_TRUE(seenOnce()) << what;
  }
  // Folders watched besides the root (where linked files lead) count as well.
  const fs::path away = dir.Path() / "away";
  fs::create_directories(away);
  watch.SetFolders({away.string()});
  EXPECT_TRUE(seenOnce());
  Write(away / "stil.html", "fuenf");
  EXPECT_TRUE(watch.Changed());
  // A folder that cannot be watched is never trusted to stay the same.
  jwhost::TFolderWatch missing({(dir.Path() / "fehlt").string()});
  EXPECT_TRUE(missing.Changed() && missing.Changed());
}

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
    const std::string cmd = "QT_QPA_PLATFORM=offscreen '" JWHOST_EXE "' " + AArgs + " >'" +
                            out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(out), ReadWhole(err)};
  }
};

// A line of cases/cli.txt runs jwhost: the answer is the exit code, stdout and stderr, or with
// "jpegs" the JPEG files (and sizes) in the folder named last; "@synth" makes a synthetic
// directory.
TEST_F(HostCli, Cases) {
  const std::string build = fs::path(JW_SAMPLE_DATA).parent_path().parent_path().string(),
                    source = fs::path(JWHOST_TEMPLATES_DIR).parent_path().parent_path().string();
  auto run = [&](const std::string& ALine) {
    const size_t blank = ALine.find(' ');
    const std::string verb = ALine.substr(0, blank),
                      arg = ALine.substr(std::min(blank, ALine.size() - 1) + 1);
    if (verb == "@synth") return Synth(Dir / "synth", std::stoi(arg)), std::string();
    const TRun r = Run(arg);
    std::string all = "=" + std::to_string(r.Code) +
                      (verb == "jpegs" ? ":" : "\n" + r.Out + "\n--- stderr\n" + r.Err);
    if (verb == "jpegs")
      for (const fs::path& f :
           std::set<fs::path>(fs::directory_iterator(arg.substr(arg.rfind(' ') + 1)), {})) {
        const QSize size = QImage(f.c_str(), "JPEG").size();
        all += " " + f.filename().string() + " " + std::to_string(size.width()) + "x" +
               std::to_string(size.height());
      }
    all = jw::test::Replace(jw::test::Replace(all, build, "<build>"), source, "<source>");
    return jw::test::Replace(all, JW_PACKAGE_VERSION, "<version>");
  };
  jw::test::RunCases(
      JW_HOST_CASES "/cli.txt", [] {}, run, "<dir>", Dir.string());
  // No page (branch search and location pages too) leaves a tag or names a missing include/field.
  for (const auto& f : fs::directory_iterator(Dir / "pages")) {
    const std::string html = ReadWhole(f.path()), where = f.path().filename().string();
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u) << where;
    EXPECT_NE(html.find("</html>"), std::string::npos) << where;
    for (const char* wrong : {"File not found", "N/A", "<#", "Unknown Pageindex"})
      EXPECT_EQ(html.find(wrong), std::string::npos) << where << ": " << wrong;
  }
  // The version of the library as a whole: what `version` says, and the package's own.
  const std::string version = Run("version").Out, both = Run("--version").Out;
  EXPECT_EQ(both.rfind("jwhost " JW_PACKAGE_VERSION " (", 0), 0u) << both;
  EXPECT_NE(both.find(version.substr(0, version.size() - 1)), std::string::npos) << both;
  // A page in Windows-1252 bytes ("Süßes Glück"), the slogan's line break kept as markup.
  const std::string page = ReadWhole(Dir / "p.html");
  for (const char* shown :
       {"S\374\337es Gl\374ck", "Kaffee<BR>aus fairem Handel", "logo.jpg?jwid=1003&tmpid=1"})
    EXPECT_NE(page.find(shown), std::string::npos) << shown;
  // The thumbnail keeps the window's proportions.
  const TRun r = Run("thumb 2001 '" + (Dir / "t.png").string() + "' --width 200");
  if (r.Code == 1 && r.Err.find("not available") != std::string::npos)
    GTEST_SKIP() << r.Err;  // a library built without the viewer
  ASSERT_EQ(r.Code, 0) << r.Err;
  const QImage img((Dir / "t.png").c_str(), "PNG");
  EXPECT_EQ(img.size(), QSize(200, 130));  // 705 x 460 scaled to 200 wide
  // Not a blank picture: the template background has colour in its header band.
  EXPECT_NE(img.pixel(5, 5), img.pixel(100, 100));
}

// A connection to the server on 127.0.0.1, from another loopback address when asked.
int Connect(uint16_t APort, const char* AFrom = "127.0.0.1") {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {}, .sin_zero = {}};
  ::inet_pton(AF_INET, AFrom, &a.sin_addr), ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  a.sin_port = htons(APort), a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? fd : (::close(fd), -1);
}

// Sends what the peer takes; a server that stops reading and closes is no failure here.
void Send(int AFd, const std::string& AData) {
  for (ssize_t done = 0, n = 1; size_t(done) < AData.size() && n > 0; done += n)
    n = ::send(AFd, AData.data() + done, AData.size() - size_t(done), MSG_NOSIGNAL);
}

// Reads until the peer closes (AClosed tells), AMarker has arrived, or the time is up.
std::string ReadFor(int AFd, std::chrono::milliseconds ATime, bool* AClosed = nullptr,
                    const std::string& AMarker = "") {
  std::string got;
  const auto end = TClock::now() + ATime;
  bool closed = false;
  while (!closed && TClock::now() < end && (AMarker.empty() || got.find(AMarker) == got.npos)) {
    pollfd p{AFd, POLLIN, 0};
    char buffer[65536];
    const ssize_t n = ::poll(&p, 1, 10) > 0 ? ::read(AFd, buffer, sizeof buffer) : -2;
    closed = n == 0 || n == -1;
    got.append(buffer, size_t(std::max<ssize_t>(n, 0)));
  }
  if (AClosed) *AClosed = closed;
  return got;
}

struct TReply {
  int Status = 0;
  std::map<std::string, std::string> Headers;  // names in lower case
  std::string Body;
};

// Reads one answer: its header, then as many body bytes as it announces (none when AHead).
TReply ReadReply(int AFd, bool AHead = false) {
  TReply r;
  const std::string got = ReadFor(AFd, 5s, nullptr, "\r\n\r\n");
  const size_t end = got.find("\r\n\r\n");
  if (end == got.npos || got.size() < 12) return r;
  r.Status = std::stoi(got.substr(9, 3));
  for (size_t at = got.find("\r\n"), next; at < end; at = next) {  // "\r\nName: value" each
    next = got.find("\r\n", at + 2);
    const size_t colon = got.find(':', at);
    std::string name = got.substr(at + 2, colon - at - 2);
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    r.Headers[name] = got.substr(colon + 2, next - colon - 2);
  }
  r.Body = got.substr(end + 4);
  const size_t length = AHead ? 0 : std::stoul("0" + r.Headers["content-length"]);
  for (std::string more = "-"; r.Body.size() < length && !more.empty(); r.Body += more)
    more = ReadFor(AFd, 5s);
  return r;
}

std::string Get(const std::string& ATarget, const std::string& AMore = "") {
  return "GET " + ATarget + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + AMore + "\r\n";
}

// "/slow" waits (at most 5 s) for "/fast" to be answered: served one after the other, "alone".
class HttpLimits : public ::testing::Test {
 protected:
  std::unique_ptr<jwhost::THttpServer> Server;
  std::thread Loop;
  std::atomic<bool> Stop{false}, Fast{false};

  void Start(const jwhost::THttpLimits& ALimits) {
    Server = std::make_unique<jwhost::THttpServer>(
        [this](const jwhost::THttpRequest& R) {
          for (int i = 0; R.Path == "/slow" && !Fast && i < 500; ++i)
            std::this_thread::sleep_for(10ms);
          if (R.Path == "/slow")
            return jwhost::THttpResponse{200, "text/plain", Fast ? "after fast" : "alone"};
          Fast = Fast || R.Path == "/fast";
          return jwhost::THttpResponse{200, "text/plain",
                                       "path " + R.Path + " query " + R.RawQuery};
        },
        ALimits);
    std::string error;
    ASSERT_TRUE(Server->Listen("127.0.0.1", 0, error)) << error;
    Loop = std::thread([this] { Server->Run([this] { return !Stop.load(); }); });
  }
  void TearDown() override {
    Stop = true;
    if (Loop.joinable()) Loop.join();
  }
  // Refused: no answer, the connection closed.
  bool Refused(const char* AFrom = "127.0.0.1") {
    const int fd = Connect(Server->Port(), AFrom);
    Send(fd, Get("/late"));
    bool closed = false;
    const bool refused = ReadFor(fd, 2s, &closed).empty() && closed;
    return ::close(fd), refused;
  }
};

TEST_F(HttpLimits, IdleAndTricklingClientsAreCutOff) {
  Start({.IdleSeconds = 1, .DeadlineSeconds = 2});
  const int idle = Connect(Server->Port()), slow = Connect(Server->Port());
  // One header byte every 200 ms never leaves the connection idle, yet never finishes a request.
  const std::string request = Get("/", "X-Pad: " + std::string(200, 'a') + "\r\n");
  const auto start = TClock::now();
  bool slowClosed = false, idleClosed = false;
  for (size_t i = 0; i < request.size() && !slowClosed; ++i)
    Send(slow, request.substr(i, 1)), ReadFor(slow, 200ms, &slowClosed);
  EXPECT_TRUE(slowClosed);
  EXPECT_LT(TClock::now() - start, 5s);
  ReadFor(idle, 1s, &idleClosed);
  EXPECT_TRUE(idleClosed);
  ::close(idle), ::close(slow);
}

TEST_F(HttpLimits, NoAddressHoldsEveryPlaceAndNobodyWaitsForAnother) {
  Start({.MaxConnections = 4, .MaxPerAddress = 3});
  // Three connections that send nothing hold every place of their address, not every place.
  std::vector<int> held;
  for (int i = 0; i < 3; ++i) held.push_back(Connect(Server->Port()));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Refused());
  held.push_back(Connect(Server->Port(), "127.0.0.2"));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Refused("127.0.0.3"));  // beyond the cap
  ::close(held[0]);
  std::this_thread::sleep_for(300ms);
  // A place is free again; a request waiting for the answer of another holds up neither.
  held[0] = Connect(Server->Port(), "127.0.0.2");
  Send(held[3], Get("/slow"));
  Send(held[0], Get("/fast?x=%41"));
  EXPECT_EQ(ReadReply(held[0]).Body, "path /fast query x=%41");  // the handler's, so a 200
  EXPECT_EQ(ReadReply(held[3]).Body, "after fast");
  for (int fd : held) ::close(fd);
}

class HostServe : public ::testing::Test {
 protected:
  static inline fs::path Dir;
  static inline FILE* Server = nullptr;
  static inline pid_t Pid = -1;
  static inline uint16_t Port = 0;

  // jwhost serve (the shell's pid becomes its pid) on a copy of the sample, on the port it names.
  static void SetUpTestSuite() {
    Dir = fs::temp_directory_path() / ("jwhost-serve-" + std::to_string(::getpid()));
    fs::create_directories(Dir);
    fs::copy(JW_SAMPLE_DATA, Dir / "data");
    fs::copy(JWHOST_TEMPLATES_DIR, Dir / "templates");
    const std::string cmd = "echo $$; exec env QT_QPA_PLATFORM=offscreen '" JWHOST_EXE
                            "' --data '" +
                            (Dir / "data").string() + "' --templates '" +
                            (Dir / "templates").string() + "' serve --port 0";
    Server = ::popen(cmd.c_str(), "r");
    char line[4096] = "";
    if (std::fscanf(Server, "%d ", &Pid) == 1 && std::fgets(line, sizeof line, Server)) {
      const char* at = std::strstr(line, "127.0.0.1:");
      Port = at ? uint16_t(std::atoi(at + 10)) : 0;
    }
  }
  static void TearDownTestSuite() {
    if (Pid > 0) ::kill(Pid, SIGTERM);
    if (Server) ::pclose(Server);
    fs::remove_all(Dir);
  }

  void SetUp() override { ASSERT_NE(Port, 0) << "jwhost serve did not start"; }

  TReply Ask(const std::string& ARequest) {
    const int fd = Connect(Port);
    Send(fd, ARequest);
    const TReply r = ReadReply(fd);
    return ::close(fd), r;
  }
};

// A status that says what happened (413 before the body is read: 64 MB announced, none sent), its
// header, and no answer sniffed for another type.
TEST_F(HostServe, StatusCodesAndHeadersSayWhatHappened) {
  const std::string any = "If-None-Match: *\r\n";
  std::string many = "a=1", manyHeaders;  // 11 KB, 1,500 parameters; 200,000 small headers
  for (int i = 1; i < 1500; ++i) many += "&a=1";
  for (int i = 0; i < 200000; ++i) manyHeaders += "X-" + std::to_string(i) + ": 1\r\n";
  // clang-format off
  const struct { std::string Request; int Status; const char* Header = ""; std::string Value = ""; } cases[] = {
      {Get("/nope"), 404},
      {Get("/nope", any), 404},
      {Get("/entry/99999", any), 404},
      {Get("/entry/2001", any), 304},
      {Get("/entry/4294967295"), 400},
      {Get("/entry/99999999999"), 400},
      {Get("/thumb/4294967295.png"), 400},
      {Get("/entry/logo.jpg?jwid=4294967295"), 400},
      {Get("/?page=0"), 400},
      {Get("/?page=2"), 404},
      {Get("/entry/2001?" + many), 400},
      {Get("/entry/logo.jpg?jwid=2001&tmpid=1"), 200},
      {Get("/entry/ohnelogo.svg"), 200, "content-type", "image/svg+xml"},
      {"DELETE / HTTP/1.1\r\nHost: x\r\n\r\n", 405, "allow", "GET, HEAD"},
      {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n\r\n", 405, "allow", "GET, HEAD"},
      {"POST /entry/2001 HTTP/1.1\r\nHost: x\r\nContent-Length: 67108864\r\n\r\n", 413},
      {Get("/", "X-Big: " + std::string(66 * 1024, 'a') + "\r\n"), 431},
      {Get("/", "X-Big: " + std::string(1 << 20, 'a') + "\r\n"), 431},
      {Get("/", manyHeaders), 431},
      {Get("/entry/ohnelogo.svg", "X-Pad: " + std::string(60000, 'a') + "\r\n"), 200},
  };
  // clang-format on
  for (const auto& c : cases) {
    TReply r = Ask(c.Request);
    const std::string what = c.Request.substr(0, 60);
    EXPECT_EQ(r.Status, c.Status) << what;
    // 431 may come from the HTTP layer, before the host answers.
    EXPECT_TRUE(c.Status == 431 || r.Headers["x-content-type-options"] == "nosniff") << what;
    EXPECT_EQ(*c.Header ? r.Headers[c.Header] : "", c.Value) << what;
  }
  // HEAD: no body, and the connection stays usable: the next answer follows the header at once.
  const int fd = Connect(Port);
  Send(fd, "HEAD /entry/2001 HTTP/1.1\r\nHost: x\r\n\r\n" + Get("/entry/ohnelogo.svg"));
  TReply head = ReadReply(fd, true);
  EXPECT_EQ(head.Status, 200);
  EXPECT_GT(std::stoul(head.Headers["content-length"]), 1000u);
  EXPECT_EQ((head.Body + ReadFor(fd, 300ms)).rfind("HTTP/1.1 200 ", 0), 0u) << head.Body;
  ::close(fd);

  // While a data file is missing: 503 with a time to come back, and no folder of the server named.
  for (const char* file : {"JWTMP.SRM", "JWDAT.SRM"}) {
    fs::rename(Dir / "data" / file, Dir / "saved");
    for (const char* target : {"/entry/2001?outage", "/"}) {
      TReply r = Ask(Get(target));
      EXPECT_EQ(r.Status, 503) << file << target;
      EXPECT_EQ(r.Headers["retry-after"] + " " + r.Headers["x-content-type-options"], "10 nosniff");
      EXPECT_EQ(r.Body.find(Dir.string()), std::string::npos) << r.Body;
    }
    EXPECT_EQ(Ask(Get("/entry/2001?outage")).Body,
              "Datei \"" + std::string(file) + "\" nicht gefunden!");
    fs::rename(Dir / "saved", Dir / "data" / file);
  }
  EXPECT_EQ(Ask(Get("/entry/2001?outage")).Status, 200);
}

// The tag follows the data and template files and the request; the index a replaced data file.
TEST_F(HostServe, ETagsFollowTheFilesAndTheRequest) {
  const std::string page = "/entry/2001?page=1";
  std::string before = Ask(Get(page)).Headers["etag"];
  auto askIfChanged = [&] { return Ask(Get(page, "If-None-Match: " + before + "\r\n")); };
  TReply same = askIfChanged();
  EXPECT_EQ(std::tuple(same.Status, same.Body, same.Headers["etag"]), std::tuple(304, "", before));
  EXPECT_NE(Ask(Get("/entry/2001?page=2")).Headers["etag"], before);

  // Each change is seen at the next request, the page made from the new text: in place, in
  // subfolders, behind links (inside the folder), in a tree too large to look at file by file.
  const fs::path out = Dir / "outside", t = Dir / "templates", kept = t / "ablage";
  const fs::path css = t / "stil.html", sub = t / "teile", img = Dir / "data" / "JWIMG.SRM";
  fs::create_directories(kept / "teil"), fs::create_directories(out);
  auto renameOver = [&](const fs::path& ATarget, const std::string& AText) {
    Write(ATarget.string() + ".neu", AText), fs::rename(ATarget.string() + ".neu", ATarget);
  };
  // clang-format off
  const struct { const char* What; std::function<void()> Change; const char* Shows = ""; } changes[] = {
      {"a template rewritten in place", [&] { Write(css, ReadWhole(css) + "<!-- neu -->"), fs::last_write_time(css, fs::last_write_time(css) + 1s); }, "<!-- neu -->"},
      {"a file in a subfolder", [&] { fs::create_directory(sub), Write(sub / "kopf.html", "a"); }},
      {"that file rewritten", [&] { Write(sub / "kopf.html", "bb"); }},
      {"a linked template file", [&] { Write(kept / "stil.html", "<!-- eins -->"), fs::remove(css), fs::create_symlink(kept / "stil.html", css); }},
      {"its target renamed over", [&] { renameOver(kept / "stil.html", "<!-- gelinkt -->"); }, "<!-- gelinkt -->"},
      {"a linked subfolder", [&] { fs::create_directory_symlink(kept / "teil", t / "teil"); }},
      {"a file in its target", [&] { renameOver(kept / "teil" / "x.html", "x"); }},
      {"a linked data file", [&] { fs::copy_file(img, out / "JWIMG.SRM"), fs::remove(img), fs::create_symlink(out / "JWIMG.SRM", img); }},
      {"its target renamed over", [&] { fs::copy_file(out / "JWIMG.SRM", out / "JWIMG.neu"), fs::rename(out / "JWIMG.neu", out / "JWIMG.SRM"); }},
      {"over 10,000 files in over 256 folders", [&] { for (int n = 0; n < 300 * 34; ++n) fs::create_directories(t / "viele" / std::to_string(n / 34)), Write(t / "viele" / std::to_string(n / 34) / std::to_string(n % 34), ""); }},
      {"one of them", [&] { renameOver(t / "viele" / "299" / "33", "neu"); }},
  };
  // clang-format on
  for (const auto& c : changes) {
    c.Change();
    TReply r = askIfChanged();
    EXPECT_EQ(r.Status, 200) << c.What;
    EXPECT_NE(r.Headers["etag"], before) << c.What;
    EXPECT_NE(r.Body.find(c.Shows), std::string::npos) << c.What;
    before = r.Headers["etag"];
  }

  // The data files renamed over by a synthetic directory's: the index pages through its entries.
  EXPECT_NE(Ask(Get("/")).Body.find("/entry/2001\""), std::string::npos);
  Synth(Dir / "synth", 101);
  for (const std::string name : {"JWDAT.SRM", "JWIMG.SRM", "JWTMP.SRM"})
    renameOver(Dir / "data" / name, ReadWhole(Dir / "synth" / name));
  EXPECT_EQ(askIfChanged().Status, 404);
  for (const auto& [target, text, shown] : {std::tuple{"/", "/entry/2001\"", false},
                                            {"/", "/entry/100002\"", true},
                                            {"/", "href=\"/?page=2\"", true},
                                            {"/?page=2", "/entry/100002\"", false},
                                            {"/?page=2", "class=\"eintrag\"", true}})
    EXPECT_EQ(Ask(Get(target)).Body.find(text) != std::string::npos, shown) << target << text;
  EXPECT_EQ(Ask(Get("/?page=3")).Status, 404);
}

}  // namespace
