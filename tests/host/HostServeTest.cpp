// The demo host's web server under hostile and careless clients, spoken to over raw sockets: the
// HTTP layer alone with small limits, and `jwhost serve` on a copy of the sample directory.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "jwhosthttp.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// A connection to the server on 127.0.0.1, from another loopback address when AFrom is given.
int Connect(uint16_t APort, const char* AFrom = nullptr) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  if (AFrom && ::inet_pton(AF_INET, AFrom, &a.sin_addr) == 1)
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  a.sin_port = htons(APort);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? fd : (::close(fd), -1);
}

// Sends what the peer takes; a server that stops reading and closes is no failure here.
void Send(int AFd, const std::string& AData) {
  for (size_t done = 0; done < AData.size();) {
    const ssize_t n = ::send(AFd, AData.data() + done, AData.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += size_t(n);
  }
}

// Reads until the peer closes (AClosed tells), AMarker has arrived, or the time is up.
std::string ReadFor(int AFd, std::chrono::milliseconds ATime, bool* AClosed = nullptr,
                    const std::string& AMarker = "") {
  std::string got;
  const auto end = TClock::now() + ATime;
  if (AClosed) *AClosed = false;
  while (TClock::now() < end && (AMarker.empty() || got.find(AMarker) == std::string::npos)) {
    pollfd p{AFd, POLLIN, 0};
    if (::poll(&p, 1, 10) <= 0) continue;
    char buffer[65536];
    const ssize_t n = ::read(AFd, buffer, sizeof buffer);
    if (n <= 0 && AClosed) *AClosed = true;
    if (n <= 0) break;
    got.append(buffer, size_t(n));
  }
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
  if (end == std::string::npos || got.size() < 12) return r;
  r.Status = std::stoi(got.substr(9, 3));
  std::istringstream head(got.substr(0, end + 2));  // every line with its CR LF
  for (std::string line; std::getline(head, line);) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    r.Headers[name] = line.substr(colon + 2, line.size() - colon - 3);  // without the CR
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

// --- the HTTP layer alone, with limits small enough to reach in a test ---------------------------

class HttpLimits : public ::testing::Test {
 protected:
  std::unique_ptr<jwhost::THttpServer> Server;
  std::thread Loop;
  std::atomic<bool> Stop{false}, Fast{false};

  // "/slow" waits (at most 5 s) until "/fast" was answered: served one after the other, it would
  // answer "alone".
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
};

TEST_F(HttpLimits, IdleAndTricklingClientsAreCutOff) {
  jwhost::THttpLimits limits;
  limits.IdleSeconds = 1;
  limits.DeadlineSeconds = 2;
  Start(limits);
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

// Refused: no answer, the connection closed.
bool Refused(int AFd) {
  Send(AFd, Get("/late"));
  bool closed = false;
  const bool refused = ReadFor(AFd, 2s, &closed).empty() && closed;
  ::close(AFd);
  return refused;
}

TEST_F(HttpLimits, NoAddressHoldsEveryPlaceAndNobodyWaitsForAnother) {
  jwhost::THttpLimits limits;
  limits.MaxConnections = 4;
  limits.MaxPerAddress = 3;
  Start(limits);
  // Three connections that send nothing hold every place of their address, not every place.
  std::vector<int> held;
  for (int i = 0; i < 3; ++i) held.push_back(Connect(Server->Port()));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Refused(Connect(Server->Port())));
  held.push_back(Connect(Server->Port(), "127.0.0.2"));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Refused(Connect(Server->Port(), "127.0.0.3")));  // beyond the cap
  ::close(held[0]);
  std::this_thread::sleep_for(300ms);
  // A place is free again; a request waiting for the answer of another holds up neither.
  held[0] = Connect(Server->Port(), "127.0.0.2");
  Send(held[3], Get("/slow"));
  Send(held[0], Get("/fast?x=%41"));
  TReply r = ReadReply(held[0]);
  EXPECT_EQ(r.Status, 200);
  EXPECT_EQ(r.Body, "path /fast query x=%41");
  EXPECT_EQ(ReadReply(held[3]).Body, "after fast");
  for (int fd : held) ::close(fd);
}

TEST(HttpETag, MatchesListsWeakTagsAndTheWildcard) {
  const std::pair<const char*, bool> cases[] = {
      {"\"a\"", true}, {"\"x\", W/\"a\"", true}, {"*", true}, {"\"ab\"", false}, {"", false}};
  for (const auto& [header, matches] : cases)
    EXPECT_EQ(jwhost::ETagMatches(header, "\"a\""), matches) << header;
}

// --- jwhost serve on a copy of the sample ------------------------------------------------------

class HostServe : public ::testing::Test {
 protected:
  static inline fs::path Dir;
  static inline pid_t Pid = -1;
  static inline uint16_t Port = 0;

  // jwhost serve, on the port it announces (0 when it does not).
  static void SetUpTestSuite() {
    Dir = fs::temp_directory_path() / ("jwhost-serve-" + std::to_string(::getpid()));
    fs::create_directories(Dir);
    fs::copy(JW_SAMPLE_DATA, Dir / "data");
    fs::copy(JWHOST_TEMPLATES_DIR, Dir / "templates");
    const std::string data = (Dir / "data").string(), templates = (Dir / "templates").string();
    int out[2];
    if (::pipe(out) != 0) return;
    if ((Pid = ::fork()) == 0) {
      ::dup2(out[1], 1);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::execl(JWHOST_EXE, "jwhost", "--data", data.c_str(), "--templates", templates.c_str(),
              "serve", "--port", "0", nullptr);
      ::_exit(127);
    }
    ::close(out[1]);
    const std::string line = ReadFor(out[0], 20s, nullptr, "/\n");
    ::close(out[0]);
    const size_t at = line.find("127.0.0.1:");
    Port = at == std::string::npos ? 0 : uint16_t(std::stoi(line.substr(at + 10)));
  }
  static void TearDownTestSuite() {
    if (Pid > 0) ::kill(Pid, SIGTERM), ::waitpid(Pid, nullptr, 0);
    fs::remove_all(Dir);
  }

  void SetUp() override { ASSERT_NE(Port, 0) << "jwhost serve did not start"; }

  TReply Ask(const std::string& ARequest) {
    const int fd = Connect(Port);
    Send(fd, ARequest);
    TReply r = ReadReply(fd);
    ::close(fd);
    return r;
  }
};

// A status that says what happened: 304 only for what exists, 400 for what cannot be asked, 405
// and 413 for bodies (refused before they are read: 64 MB announced, none sent), 431 for headers
// over the limit, and the header that goes with it. No answer may be sniffed for another type.
TEST_F(HostServe, StatusCodesAndHeadersSayWhatHappened) {
  const std::string any = "If-None-Match: *\r\n";
  std::string many = "a=1", manyHeaders;  // 11 KB, 1,500 parameters; 200,000 small headers
  for (int i = 1; i < 1500; ++i) many += "&a=1";
  for (int i = 0; i < 200000; ++i) manyHeaders += "X-" + std::to_string(i) + ": 1\r\n";
  const struct {
    std::string Request;
    int Status;
    const char* Header = "";
    std::string Value = "";
  } cases[] = {
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
  for (const auto& c : cases) {
    TReply r = Ask(c.Request);
    const std::string what = c.Request.substr(0, 60);
    EXPECT_EQ(r.Status, c.Status) << what;
    if (c.Status != 431) {  // refused by the HTTP layer before the host answers
      EXPECT_EQ(r.Headers["x-content-type-options"], "nosniff") << what;
    }
    if (*c.Header) {
      EXPECT_EQ(r.Headers[c.Header], c.Value) << what;
    }
  }
  // HEAD: no body, and the connection stays usable.
  const int fd = Connect(Port);
  Send(fd, "HEAD /entry/2001 HTTP/1.1\r\nHost: x\r\n\r\n");
  TReply head = ReadReply(fd, true);
  EXPECT_EQ(head.Status, 200);
  EXPECT_GT(std::stoul(head.Headers["content-length"]), 1000u);
  EXPECT_EQ(head.Body + ReadFor(fd, 300ms), "");
  Send(fd, Get("/entry/ohnelogo.svg"));
  EXPECT_EQ(ReadReply(fd).Status, 200);
  ::close(fd);

  // While a data file is missing: 503 with a time to come back, and no folder of the server named.
  for (const char* file : {"JWTMP.SRM", "JWDAT.SRM"}) {
    fs::rename(Dir / "data" / file, Dir / "saved");
    for (const char* target : {"/entry/2001?outage", "/"}) {
      TReply r = Ask(Get(target));
      EXPECT_EQ(r.Status, 503) << file << target;
      EXPECT_EQ(r.Headers["retry-after"], "10");
      EXPECT_EQ(r.Headers["x-content-type-options"], "nosniff");
      EXPECT_EQ(r.Body.find(Dir.string()), std::string::npos) << r.Body;
    }
    EXPECT_EQ(Ask(Get("/entry/2001?outage")).Body,
              "Datei \"" + std::string(file) + "\" nicht gefunden!");
    fs::rename(Dir / "saved", Dir / "data" / file);
  }
  EXPECT_EQ(Ask(Get("/entry/2001?outage")).Status, 200);
}

// The tag names the data and template files and the request: an unchanged page costs no body, a
// changed file or another request gets a new one, and the index follows a replaced data file.
TEST_F(HostServe, ETagsFollowTheFilesAndTheRequest) {
  const std::string page = "/entry/2001?page=1";
  TReply first = Ask(Get(page));
  ASSERT_EQ(first.Status, 200);
  std::string before = first.Headers["etag"];
  TReply same = Ask(Get(page, "If-None-Match: " + before + "\r\n"));
  EXPECT_EQ(same.Status, 304);
  EXPECT_EQ(same.Body, "");
  EXPECT_EQ(same.Headers["etag"], before);
  EXPECT_NE(Ask(Get("/entry/2001?page=2")).Headers["etag"], before);

  // Each change is seen at the next request (templates are made again from the new text, not
  // remembered), and the tag from before gets the whole page again: changes in place, in
  // subfolders (includes may name them), behind links, anywhere in a tree too large to look at
  // file by file. (The library refuses template links that lead out of the template folder.)
  const fs::path out = Dir / "outside", kept = Dir / "templates" / "ablage";
  fs::create_directories(kept / "teil");
  fs::create_directories(out);
  auto renameOver = [](const fs::path& ATarget, const std::string& AText) {
    std::ofstream(ATarget.string() + ".neu") << AText;
    fs::rename(ATarget.string() + ".neu", ATarget);
  };
  const fs::path css = Dir / "templates" / "stil.html", sub = Dir / "templates" / "teile";
  const struct {
    const char* What;
    std::function<void()> Change;
    const char* Shows = "";  // on the page made anew
  } changes[] = {
      {"a template rewritten in place",
       [&] {
         std::ofstream(css, std::ios::app) << "<!-- neu -->";
         fs::last_write_time(css, fs::last_write_time(css) + 1s);
       },
       "<!-- neu -->"},
      {"a file in a subfolder",
       [&] { fs::create_directory(sub), std::ofstream(sub / "kopf.html") << "a"; }},
      {"that file rewritten", [&] { std::ofstream(sub / "kopf.html") << "bb"; }},
      {"a linked template file",
       [&] {
         std::ofstream(kept / "stil.html") << "<!-- eins -->";
         fs::remove(css);
         fs::create_symlink(kept / "stil.html", css);
       }},
      {"its target renamed over", [&] { renameOver(kept / "stil.html", "<!-- gelinkt -->"); },
       "<!-- gelinkt -->"},
      {"a linked subfolder",
       [&] { fs::create_directory_symlink(kept / "teil", Dir / "templates" / "teil"); }},
      {"a file in its target", [&] { renameOver(kept / "teil" / "x.html", "x"); }},
      {"a linked data file",
       [&] {
         fs::copy_file(Dir / "data" / "JWIMG.SRM", out / "JWIMG.SRM");
         fs::remove(Dir / "data" / "JWIMG.SRM");
         fs::create_symlink(out / "JWIMG.SRM", Dir / "data" / "JWIMG.SRM");
       }},
      {"its target renamed over",
       [&] {
         fs::copy_file(out / "JWIMG.SRM", out / "JWIMG.neu");
         fs::rename(out / "JWIMG.neu", out / "JWIMG.SRM");
       }},
      {"over 10,000 files in over 256 folders",
       [&] {
         for (int d = 0; d < 300; ++d) {
           fs::create_directories(Dir / "templates" / "viele" / std::to_string(d));
           for (int f = 0; f < 34; ++f)
             std::ofstream(Dir / "templates" / "viele" / std::to_string(d) / std::to_string(f));
         }
       }},
      {"one of them", [&] { renameOver(Dir / "templates" / "viele" / "299" / "33", "neu"); }},
  };
  for (const auto& c : changes) {
    c.Change();
    TReply r = Ask(Get(page, "If-None-Match: " + before + "\r\n"));
    EXPECT_EQ(r.Status, 200) << c.What;
    EXPECT_NE(r.Headers["etag"], before) << c.What;
    EXPECT_NE(r.Body.find(c.Shows), std::string::npos) << c.What;
    before = r.Headers["etag"];
  }

  // The data file renamed over by one of a synthetic directory: the index shows its entries, a
  // page at a time.
  const std::string index = Ask(Get("/")).Body;
  EXPECT_NE(index.find("/entry/2001\""), std::string::npos);
  const fs::path synth = Dir / "synth";
  const std::string cmd =
      std::string("'") + JWPACK_EXE + "' synth 101 '" + synth.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (const char* name : {"JWDAT.SRM", "JWIMG.SRM", "JWTMP.SRM"}) {
    fs::copy_file(synth / name, Dir / "data" / (std::string(name) + ".new"));
    fs::rename(Dir / "data" / (std::string(name) + ".new"), Dir / "data" / name);
  }
  EXPECT_EQ(Ask(Get(page, "If-None-Match: " + before + "\r\n")).Status, 404);
  for (const auto& [target, text, shown] : {std::tuple{"/", "/entry/2001\"", false},
                                            {"/", "/entry/100002\"", true},
                                            {"/", "href=\"/?page=2\"", true},
                                            {"/?page=2", "/entry/100002\"", false},
                                            {"/?page=2", "class=\"eintrag\"", true}})
    EXPECT_EQ(Ask(Get(target)).Body.find(text) != std::string::npos, shown) << target << text;
  EXPECT_EQ(Ask(Get("/?page=3")).Status, 404);
}

}  // namespace
