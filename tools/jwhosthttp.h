#pragma once
// The HTTP side of the demo host's web server, on GNU libmicrohttpd. It knows nothing of the
// library: it reads requests within fixed limits, hands complete GET and HEAD requests to one
// handler and sends its answers. Every connection is served on a thread of its own, so one slow
// answer holds up nobody else; the handler is called from those threads at the same time.
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
  // Shared, not copied: an answer the host keeps is sent to any number of clients by reference.
  std::shared_ptr<const std::string> Body;
  std::string ETag;         // with its quotes; none when empty
  unsigned RetryAfter = 0;  // seconds, for 503; none when 0

  THttpResponse() = default;
  THttpResponse(int AStatus, std::string AType, std::string ABody, std::string AETag = "")
      : Status(AStatus),
        Type(std::move(AType)),
        Body(std::make_shared<const std::string>(std::move(ABody))),
        ETag(std::move(AETag)) {}
  size_t Size() const { return Body ? Body->size() : 0; }
};

struct THttpLimits {
  unsigned MaxConnections = 256;
  unsigned MaxPerAddress = 32;    // connections from one client address; 0 = no limit
  size_t MaxParameters = 256;     // query parameters of one request; more are answered 400
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

  // Ends connections past their deadline; to be called every 100 ms or so.
  void Sweep();
  // Sweeps until AKeepGoing returns false; it is asked every 100 ms.
  void Run(const std::function<bool()>& AKeepGoing);

  struct TImpl;

 private:
  std::unique_ptr<TImpl> Impl;
};

// Whether an If-None-Match header names AETag (or is "*"); weak tags compare by their value.
bool ETagMatches(const std::string& AIfNoneMatch, const std::string& AETag);

}  // namespace jwhost
