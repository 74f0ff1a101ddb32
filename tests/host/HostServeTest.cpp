// The demo host's web server under hostile and careless clients, spoken to over raw sockets: the
// HTTP layer alone with small limits, and `jwhost serve` on a copy of the sample directory.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
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
  if (AFrom) {
    ::inet_pton(AF_INET, AFrom, &a.sin_addr);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  a.sin_port = htons(APort);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Sends what the peer takes; a server that stops reading and closes is no failure here.
void Send(int AFd, const std::string& AData) {
  size_t done = 0;
  while (done < AData.size()) {
    const ssize_t n = ::send(AFd, AData.data() + done, AData.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += size_t(n);
  }
}

// Reads until the peer closes, AMarker has arrived, or the time is up. AClosed tells which.
std::string ReadFor(int AFd, std::chrono::milliseconds ATime, bool* AClosed = nullptr,
                    const std::string& AMarker = "") {
  std::string got;
  const auto end = TClock::now() + ATime;
  if (AClosed) *AClosed = false;
  while (TClock::now() < end) {
    pollfd p{AFd, POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - TClock::now());
    if (::poll(&p, 1, int(std::max<long>(left.count(), 1))) <= 0) continue;
    char buffer[65536];
    const ssize_t n = ::read(AFd, buffer, sizeof buffer);
    if (n <= 0) {
      if (AClosed) *AClosed = true;
      break;
    }
    got.append(buffer, size_t(n));
    if (!AMarker.empty() && got.find(AMarker) != std::string::npos) break;
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
  std::string got = ReadFor(AFd, 5s, nullptr, "\r\n\r\n");
  const size_t end = got.find("\r\n\r\n");
  if (end == std::string::npos || got.size() < 12) return r;
  r.Status = std::stoi(got.substr(9, 3));
  size_t pos = got.find("\r\n") + 2;
  while (pos < end) {
    const size_t eol = got.find("\r\n", pos), colon = got.find(':', pos);
    std::string name = got.substr(pos, colon - pos);
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    r.Headers[name] = got.substr(colon + 2, eol - colon - 2);
    pos = eol + 2;
  }
  r.Body = got.substr(end + 4);
  const size_t length =
      AHead || !r.Headers.count("content-length") ? 0 : std::stoul(r.Headers["content-length"]);
  while (r.Body.size() < length) {
    const std::string more = ReadFor(AFd, 5s, nullptr, std::string());
    if (more.empty()) break;
    r.Body += more;
  }
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
  std::atomic<bool> Stop{false};
  std::mutex Lock;
  std::condition_variable FastAnswered;
  bool Fast = false;

  // "/slow" waits (at most 5 s) until "/fast" was answered: served one after the other, it would
  // answer "alone".
  void Start(const jwhost::THttpLimits& ALimits) {
    Server = std::make_unique<jwhost::THttpServer>(
        [this](const jwhost::THttpRequest& R) {
          std::unique_lock<std::mutex> lock(Lock);
          if (R.Path == "/slow")
            return jwhost::THttpResponse{
                200, "text/plain",
                FastAnswered.wait_for(lock, 5s, [&] { return Fast; }) ? "after fast" : "alone"};
          Fast = Fast || R.Path == "/fast";
          FastAnswered.notify_all();
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
  ASSERT_GE(idle, 0);
  // One header byte every 200 ms never leaves the connection idle, yet never finishes a request.
  const std::string request = Get("/", "X-Pad: " + std::string(200, 'a') + "\r\n");
  const auto start = TClock::now();
  bool slowClosed = false;
  for (size_t i = 0; i < request.size() && !slowClosed; ++i) {
    Send(slow, request.substr(i, 1));
    ReadFor(slow, 200ms, &slowClosed);
  }
  EXPECT_TRUE(slowClosed);
  EXPECT_LT(TClock::now() - start, 5s);
  bool idleClosed = false;
  ReadFor(idle, 1s, &idleClosed);
  EXPECT_TRUE(idleClosed);
  ::close(idle);
  ::close(slow);
}

// Refused: no answer, the connection closed.
bool Refused(int AFd) {
  Send(AFd, Get("/late"));
  bool closed = false;
  return ReadFor(AFd, 2s, &closed).empty() && closed;
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
  int late = Connect(Server->Port());
  EXPECT_TRUE(Refused(late));
  ::close(late);
  held.push_back(Connect(Server->Port(), "127.0.0.2"));
  std::this_thread::sleep_for(300ms);
  late = Connect(Server->Port(), "127.0.0.3");
  EXPECT_TRUE(Refused(late));  // beyond the cap
  ::close(late);
  ::close(held[0]);
  std::this_thread::sleep_for(300ms);

  // A place is free again; a request waiting for the answer of another holds up neither.
  const int slow = Connect(Server->Port(), "127.0.0.2");
  Send(held[3], Get("/slow"));
  Send(slow, Get("/fast?x=%41"));
  TReply r = ReadReply(slow);
  EXPECT_EQ(r.Status, 200);
  EXPECT_EQ(r.Body, "path /fast query x=%41");
  EXPECT_EQ(ReadReply(held[3]).Body, "after fast");
  for (int fd : held) ::close(fd);
  ::close(slow);
}

TEST(HttpETag, MatchesListsWeakTagsAndTheWildcard) {
  EXPECT_TRUE(jwhost::ETagMatches("\"a\"", "\"a\""));
  EXPECT_TRUE(jwhost::ETagMatches("\"x\", W/\"a\"", "\"a\""));
  EXPECT_TRUE(jwhost::ETagMatches("*", "\"a\""));
  EXPECT_FALSE(jwhost::ETagMatches("\"ab\"", "\"a\""));
  EXPECT_FALSE(jwhost::ETagMatches("", "\"a\""));
}

// --- jwhost serve on a copy of the sample ------------------------------------------------------

class HostServe : public ::testing::Test {
 protected:
  static inline fs::path Dir;
  static inline pid_t Pid = -1;
  static inline uint16_t Port = 0;

  static void SetUpTestSuite() {
    Dir = fs::temp_directory_path() / ("jwhost-serve-" + std::to_string(::getpid()));
    fs::create_directories(Dir);
    fs::copy(JW_SAMPLE_DATA, Dir / "data");
    fs::copy(JWHOST_TEMPLATES_DIR, Dir / "templates");
    Port = StartServer({"--data", (Dir / "data").string(), "--templates",
                        (Dir / "templates").string(), "serve", "--port", "0"},
                       Pid);
  }
  static void TearDownTestSuite() {
    if (Pid > 0) {
      ::kill(Pid, SIGTERM);
      ::waitpid(Pid, nullptr, 0);
    }
    fs::remove_all(Dir);
  }

  // Starts jwhost and returns the port it announces (0 when it does not).
  static uint16_t StartServer(const std::vector<std::string>& AArgs, pid_t& APid) {
    int out[2];
    if (::pipe(out) != 0) return 0;
    APid = ::fork();
    if (APid == 0) {
      ::dup2(out[1], 1);
      ::close(out[0]);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      std::vector<char*> argv{const_cast<char*>("jwhost")};
      for (const std::string& a : AArgs) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(JWHOST_EXE, argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    const std::string line = ReadFor(out[0], 20s, nullptr, "/\n");
    ::close(out[0]);
    const size_t at = line.find("127.0.0.1:");
    return at == std::string::npos ? 0 : uint16_t(std::stoi(line.substr(at + 10)));
  }

  void SetUp() override { ASSERT_NE(Port, 0) << "jwhost serve did not start"; }

  TReply Ask(const std::string& ARequest, bool AHead = false) {
    const int fd = Connect(Port);
    Send(fd, ARequest);
    TReply r = ReadReply(fd, AHead);
    ::close(fd);
    return r;
  }
};

TEST_F(HostServe, HeadAnswersWithoutABodyAndTheConnectionStaysUsable) {
  const int fd = Connect(Port);
  Send(fd, "HEAD /entry/2001 HTTP/1.1\r\nHost: x\r\n\r\n");
  TReply head = ReadReply(fd, true);
  EXPECT_EQ(head.Status, 200);
  EXPECT_GT(std::stoul(head.Headers["content-length"]), 1000u);
  EXPECT_EQ(head.Body, "");
  EXPECT_EQ(ReadFor(fd, 300ms).size(), 0u);  // no body follows
  Send(fd, Get("/entry/ohnelogo.svg"));
  TReply next = ReadReply(fd);
  EXPECT_EQ(next.Status, 200);
  EXPECT_EQ(next.Headers["content-type"], "image/svg+xml");
  ::close(fd);
}

TEST_F(HostServe, BodiesAreRefusedBeforeTheyAreRead) {
  // 64 MB announced, none sent: the answer may not wait for it.
  int fd = Connect(Port);
  const auto start = TClock::now();
  Send(fd, "POST /entry/2001 HTTP/1.1\r\nHost: x\r\nContent-Length: 67108864\r\n\r\n");
  TReply r = ReadReply(fd);
  EXPECT_EQ(r.Status, 413);
  EXPECT_LT(TClock::now() - start, 3s);
  bool closed = false;
  ReadFor(fd, 2s, &closed);
  EXPECT_TRUE(closed);
  ::close(fd);
  // A small body on a method that takes none: refused at once too.
  fd = Connect(Port);
  Send(fd, "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n\r\n");
  r = ReadReply(fd);
  EXPECT_EQ(r.Status, 405);
  EXPECT_EQ(r.Headers["allow"], "GET, HEAD");
  ::close(fd);
}

TEST_F(HostServe, OversizedHeadersAreRefused) {
  // One large header, a little over the limit and far over it, and very many small ones.
  for (const std::string& more : {"X-Big: " + std::string(66 * 1024, 'a') + "\r\n",
                                  "X-Big: " + std::string(1 << 20, 'a') + "\r\n"}) {
    TReply r = Ask(Get("/", more));
    EXPECT_EQ(r.Status, 431) << more.size();
  }
  std::string many;
  for (int i = 0; i < 200000; ++i) many += "X-" + std::to_string(i) + ": 1\r\n";
  EXPECT_EQ(Ask(Get("/", many)).Status, 431);
  // Headers below the limit are fine.
  EXPECT_EQ(Ask(Get("/entry/ohnelogo.svg", "X-Pad: " + std::string(60000, 'a') + "\r\n")).Status,
            200);
}

// A status that says what happened: 304 only for what exists, 400 for what cannot be asked, 503
// with a time to come back while a data file is missing, and no folder of the server named. No
// answer may be sniffed for another type.
TEST_F(HostServe, StatusCodesSayWhatHappened) {
  const std::string any = "If-None-Match: *\r\n";
  std::string many = "a=1";  // 11 KB, 1,500 parameters
  for (int i = 1; i < 1500; ++i) many += "&a=1";
  const struct {
    std::string Request;
    int Status;
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
      {"DELETE / HTTP/1.1\r\nHost: x\r\n\r\n", 405},
  };
  for (const auto& c : cases) {
    TReply r = Ask(c.Request);
    EXPECT_EQ(r.Status, c.Status) << c.Request;
    EXPECT_EQ(r.Headers["x-content-type-options"], "nosniff") << c.Request;
  }

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
  TReply first = Ask(Get("/entry/2001?page=1"));
  ASSERT_EQ(first.Status, 200);
  const std::string tag = first.Headers["etag"];
  ASSERT_FALSE(tag.empty());
  TReply same = Ask(Get("/entry/2001?page=1", "If-None-Match: " + tag + "\r\n"));
  EXPECT_EQ(same.Status, 304);
  EXPECT_EQ(same.Body, "");
  EXPECT_EQ(same.Headers["etag"], tag);
  EXPECT_NE(Ask(Get("/entry/2001?page=2")).Headers["etag"], tag);

  // A template rewritten in place: the page is made again from the new text, not remembered.
  fs::path css = Dir / "templates" / "stil.html";
  std::ofstream(css, std::ios::app) << "<!-- neu -->";
  fs::last_write_time(css, fs::last_write_time(css) + 1s);
  TReply afterTemplate = Ask(Get("/entry/2001?page=1", "If-None-Match: " + tag + "\r\n"));
  EXPECT_EQ(afterTemplate.Status, 200);
  EXPECT_NE(afterTemplate.Body.find("<!-- neu -->"), std::string::npos);
  const std::string tag2 = afterTemplate.Headers["etag"];
  EXPECT_NE(tag2, tag);

  // Files in subfolders of the templates count as well: includes may name them.
  fs::create_directory(Dir / "templates" / "teile");
  std::ofstream(Dir / "templates" / "teile" / "kopf.html") << "a";
  const std::string tag3 = Ask(Get("/entry/2001?page=1")).Headers["etag"];
  std::ofstream(Dir / "templates" / "teile" / "kopf.html") << "bb";
  EXPECT_NE(Ask(Get("/entry/2001?page=1")).Headers["etag"], tag3);

  // Changes behind links, and anywhere in a tree too large to look at file by file: each is seen
  // at the next request, and the tag from before gets the whole page again.
  // (The library refuses template links that lead out of the template folder.)
  const fs::path out = Dir / "outside", kept = Dir / "templates" / "ablage";
  fs::create_directories(kept / "teil");
  fs::create_directories(out);
  auto renameOver = [](const fs::path& ATarget, const std::string& AText) {
    std::ofstream(ATarget.string() + ".neu") << AText;
    fs::rename(ATarget.string() + ".neu", ATarget);
  };
  const struct {
    const char* What;
    std::function<void()> Change;
  } changes[] = {
      {"a linked template file",
       [&] {
         std::ofstream(kept / "stil.html") << "<!-- eins -->";
         fs::remove(Dir / "templates" / "stil.html");
         fs::create_symlink(kept / "stil.html", Dir / "templates" / "stil.html");
       }},
      {"its target renamed over", [&] { renameOver(kept / "stil.html", "<!-- gelinkt -->"); }},
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
  std::string before = Ask(Get("/entry/2001?page=1")).Headers["etag"];
  for (const auto& c : changes) {
    c.Change();
    TReply r = Ask(Get("/entry/2001?page=1", "If-None-Match: " + before + "\r\n"));
    EXPECT_EQ(r.Status, 200) << c.What;
    EXPECT_NE(r.Headers["etag"], before) << c.What;
    before = r.Headers["etag"];
  }
  EXPECT_NE(Ask(Get("/entry/2001?page=1")).Body.find("<!-- gelinkt -->"), std::string::npos);

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
  EXPECT_EQ(Ask(Get("/entry/2001?page=1", "If-None-Match: " + tag2 + "\r\n")).Status, 404);
  const std::string after = Ask(Get("/")).Body;
  EXPECT_EQ(after.find("/entry/2001\""), std::string::npos);
  EXPECT_NE(after.find("/entry/100002\""), std::string::npos);
  EXPECT_NE(after.find("href=\"/?page=2\""), std::string::npos);
  const std::string second = Ask(Get("/?page=2")).Body;
  EXPECT_EQ(second.find("/entry/100002\""), std::string::npos);
  EXPECT_NE(second.find("class=\"eintrag\""), std::string::npos);
  EXPECT_EQ(Ask(Get("/?page=3")).Status, 404);
}

}  // namespace
