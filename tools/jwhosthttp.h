#pragma once
// The HTTP side of the demo host's web server, on GNU libmicrohttpd. It knows nothing of the
// library: it reads requests within fixed limits, hands complete GET and HEAD requests to one
// handler and sends its answers. Everything, the handler included, runs on the thread that calls
// Run, so a handler may use objects that belong to that thread (the viewer's Qt widgets).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace jwhost {

struct THttpRequest {
  std::string Method;       // "GET" or "HEAD"
  std::string Path;         // percent-decoded, without the query
  std::string RawQuery;     // as sent, without the "?"
  std::string IfNoneMatch;  // the If-None-Match header, empty when absent
};

struct THttpResponse {
  int Status = 200;
  std::string Type = "text/plain; charset=utf-8";
  std::string Body;
  std::string ETag;  // with its quotes; none when empty
};

struct THttpLimits {
  unsigned MaxConnections = 256;
  unsigned IdleSeconds = 10;      // a connection on which nothing moves is closed
  unsigned DeadlineSeconds = 30;  // to receive one request, and again to send its answer
  size_t MaxBody = size_t(1) << 20;
  size_t MaxHeader = size_t(64) << 10;
};

class THttpServer {
 public:
  using THandler = std::function<THttpResponse(const THttpRequest&)>;

  explicit THttpServer(THandler AHandler, const THttpLimits& ALimits = {});
  ~THttpServer();
  THttpServer(const THttpServer&) = delete;
  THttpServer& operator=(const THttpServer&) = delete;

  // Listens on an IPv4 or IPv6 address; port 0 takes a free one. False with the reason in AError.
  bool Listen(const std::string& ABind, uint16_t APort, std::string& AError);
  uint16_t Port() const;

  // Serves until AKeepGoing returns false; it is asked at least every 100 ms, between requests.
  void Run(const std::function<bool()>& AKeepGoing);

  struct TImpl;

 private:
  std::unique_ptr<TImpl> Impl;
};

// Whether an If-None-Match header names AETag (or is "*"); weak tags compare by their value.
bool ETagMatches(const std::string& AIfNoneMatch, const std::string& AETag);

}  // namespace jwhost
