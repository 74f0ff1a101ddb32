// The HTTP side of the demo host's web server. libmicrohttpd reads and answers the protocol (HEAD
// without a body, keep-alive, "Connection: close", HTTP/1.0, idle timeouts, a cap on connections
// per client address, a bounded buffer per connection) and gives each connection a thread; this
// file adds what it lacks: a deadline for each request and answer, so that a client trickling
// bytes cannot hold a connection forever, the refusal of bodies before they are read, and a bound
// on query parameters.
#include "jwhosthttp.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace jwhost {

namespace {

using TClock = std::chrono::steady_clock;

// What belongs to one request: its target as sent (libmicrohttpd decodes the path and splits the
// query itself, and a decoded NUL would cut the path short).
struct TRequestState {
  std::string Uri;
  bool Checked = false;
  bool Answered = false;
};

struct TConnection {
  int Fd = -1;
  TClock::time_point
      Since;  // start of the current phase: receiving a request or sending its answer
  bool Cut = false;
};

std::string HeaderValue(MHD_Connection* AConnection, const char* AName) {
  const char* v = MHD_lookup_connection_value(AConnection, MHD_HEADER_KIND, AName);
  return v ? v : "";
}

MHD_Result AddHeaderSize(void* AContext, MHD_ValueKind, const char* AKey, const char* AValue) {
  *static_cast<size_t*>(AContext) +=
      std::strlen(AKey) + (AValue ? std::strlen(AValue) : 0) + 4;  // ": " and CR LF
  return MHD_YES;
}

// Splits a request target into its decoded path and its raw query.
void SplitTarget(const std::string& AUri, std::string& APath, std::string& AQuery) {
  const size_t q = AUri.find('?');
  APath = AUri.substr(0, q);
  AQuery = q == std::string::npos ? std::string() : AUri.substr(q + 1);
  APath.resize(MHD_http_unescape(APath.data()));
}

size_t ParameterCount(const std::string& AQuery) {
  return AQuery.empty() ? 0 : size_t(std::count(AQuery.begin(), AQuery.end(), '&')) + 1;
}

void ReleaseBody(void* ABody) {
  delete static_cast<std::shared_ptr<const std::string>*>(ABody);
}

}  // namespace

struct THttpServer::TImpl {
  THandler Handler;
  THttpLimits Limits;
  MHD_Daemon* Daemon = nullptr;
  uint16_t BoundPort = 0;
  std::mutex Lock;  // guards Connections: every connection's thread and the sweeper use it
  std::map<MHD_Connection*, TConnection> Connections;

  // The cap on open connections, counted where their deadlines are kept.
  static MHD_Result OnAccept(void* AContext, const sockaddr*, socklen_t) {
    auto* self = static_cast<TImpl*>(AContext);
    std::lock_guard<std::mutex> lock(self->Lock);
    return self->Connections.size() < self->Limits.MaxConnections ? MHD_YES : MHD_NO;
  }

  static void* OnUri(void*, const char* AUri, MHD_Connection*) {
    auto* state = new TRequestState;
    state->Uri = AUri ? AUri : "";
    // libmicrohttpd would next split the query into its connection buffer, one record per
    // parameter, and close the connection without an answer when they do not fit. The host reads
    // the query from its own copy, so the query is cut off in libmicrohttpd's buffer (it splits it
    // in place right after this call) and the parameters are counted here instead.
    if (const char* q = AUri ? std::strchr(AUri, '?') : nullptr) const_cast<char*>(q)[1] = '\0';
    return state;
  }

  static void OnCompleted(void* AContext, MHD_Connection* AConnection, void** ARequest,
                          MHD_RequestTerminationCode) {
    delete static_cast<TRequestState*>(*ARequest);
    *ARequest = nullptr;
    static_cast<TImpl*>(AContext)->Restart(AConnection);
  }

  static void OnConnection(void* AContext, MHD_Connection* AConnection, void**,
                           MHD_ConnectionNotificationCode ACode) {
    auto* self = static_cast<TImpl*>(AContext);
    std::lock_guard<std::mutex> lock(self->Lock);
    if (ACode == MHD_CONNECTION_NOTIFY_CLOSED) {
      self->Connections.erase(AConnection);
      return;
    }
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(AConnection, MHD_CONNECTION_INFO_CONNECTION_FD);
    self->Connections[AConnection] = {info ? int(info->connect_fd) : -1, TClock::now(), false};
  }

  // A new phase of the connection begins: its deadline starts again.
  void Restart(MHD_Connection* AConnection) {
    std::lock_guard<std::mutex> lock(Lock);
    const auto it = Connections.find(AConnection);
    if (it != Connections.end()) it->second.Since = TClock::now();
  }

  static MHD_Result OnRequest(void* AContext, MHD_Connection* AConnection, const char*,
                              const char* AMethod, const char*, const char*, size_t* AUploadSize,
                              void** ARequest) {
    auto* self = static_cast<TImpl*>(AContext);
    auto* state = static_cast<TRequestState*>(*ARequest);
    if (!state || state->Answered) return MHD_NO;
    const std::string method = AMethod ? AMethod : "";
    // The first call comes when the header is complete, before any body is read. A request that
    // is refused, or that carries a body, is answered right away; the unread body then closes
    // the connection. Any other answer waits for the second call, since libmicrohttpd closes
    // the connection after an answer given early.
    if (!state->Checked) {
      state->Checked = true;
      THttpResponse refusal;
      if (self->Refuse(AConnection, method, refusal)) {
        state->Answered = true;
        return Send(AConnection, refusal);
      }
      if (HasBody(AConnection)) {
        state->Answered = true;
        return Send(AConnection, self->Answer(AConnection, method, state->Uri));
      }
      return MHD_YES;
    }
    if (*AUploadSize != 0) return MHD_NO;  // a body nobody announced
    state->Answered = true;
    return Send(AConnection, self->Answer(AConnection, method, state->Uri));
  }

  static bool HasBody(MHD_Connection* AConnection) {
    const std::string length = HeaderValue(AConnection, MHD_HTTP_HEADER_CONTENT_LENGTH);
    return (!length.empty() && length.find_first_not_of('0') != std::string::npos) ||
           !HeaderValue(AConnection, MHD_HTTP_HEADER_TRANSFER_ENCODING).empty();
  }

  THttpResponse Answer(MHD_Connection* AConnection, const std::string& AMethod,
                       const std::string& AUri) {
    THttpRequest request;
    request.Method = AMethod;
    SplitTarget(AUri, request.Path, request.RawQuery);
    request.IfNoneMatch = HeaderValue(AConnection, MHD_HTTP_HEADER_IF_NONE_MATCH);
    if (ParameterCount(request.RawQuery) > Limits.MaxParameters)
      return {MHD_HTTP_BAD_REQUEST, "text/plain; charset=utf-8", "too many query parameters"};
    THttpResponse r = Handler(request);
    // The time spent answering does not count against sending the answer.
    Restart(AConnection);
    return r;
  }

  // An over-large header or body, or a method other than GET and HEAD.
  bool Refuse(MHD_Connection* AConnection, const std::string& AMethod, THttpResponse& AResponse) {
    size_t headerBytes = 0;
    MHD_get_connection_values(AConnection, MHD_HEADER_KIND, AddHeaderSize, &headerBytes);
    const std::string length = HeaderValue(AConnection, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (headerBytes > Limits.MaxHeader)
      AResponse = {MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE, "text/plain; charset=utf-8",
                   "request header too large"};
    else if (!length.empty() &&
             (length.size() > 18 || length.find_first_not_of("0123456789") != std::string::npos ||
              std::stoull(length) > Limits.MaxBody))
      AResponse = {MHD_HTTP_CONTENT_TOO_LARGE, "text/plain; charset=utf-8",
                   "request body too large"};
    else if (AMethod != MHD_HTTP_METHOD_GET && AMethod != MHD_HTTP_METHOD_HEAD)
      AResponse = {MHD_HTTP_METHOD_NOT_ALLOWED, "text/plain; charset=utf-8", "only GET"};
    else
      return false;
    return true;
  }

  static MHD_Result Send(MHD_Connection* AConnection, const THttpResponse& AResponse) {
    const bool notModified = AResponse.Status == MHD_HTTP_NOT_MODIFIED;
    // libmicrohttpd holds a reference to the body until the last byte is sent.
    MHD_Response* response = nullptr;
    if (notModified || !AResponse.Body) {
      response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
    } else {
      auto* body = new std::shared_ptr<const std::string>(AResponse.Body);
      response = MHD_create_response_from_buffer_with_free_callback_cls(
          (*body)->size(), const_cast<char*>((*body)->data()), ReleaseBody, body);
      if (!response) delete body;
    }
    if (!response) return MHD_NO;
    if (!notModified)
      MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, AResponse.Type.c_str());
    MHD_add_response_header(response, MHD_HTTP_HEADER_X_CONTENT_TYPE_OPTIONS, "nosniff");
    if (!AResponse.ETag.empty())
      MHD_add_response_header(response, MHD_HTTP_HEADER_ETAG, AResponse.ETag.c_str());
    if (AResponse.RetryAfter)
      MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER,
                              std::to_string(AResponse.RetryAfter).c_str());
    if (AResponse.Status == MHD_HTTP_METHOD_NOT_ALLOWED)
      MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    const MHD_Result queued = MHD_queue_response(AConnection, unsigned(AResponse.Status), response);
    MHD_destroy_response(response);
    return queued;
  }

  // Ends connections that have spent too long on one request or one answer. libmicrohttpd owns
  // the socket; shutting it down makes it see the end and close the connection itself.
  void Sweep() {
    const auto limit = std::chrono::seconds(Limits.DeadlineSeconds);
    const auto now = TClock::now();
    std::lock_guard<std::mutex> lock(Lock);
    for (auto& [connection, c] : Connections)
      if (!c.Cut && c.Fd >= 0 && now - c.Since > limit) {
        ::shutdown(c.Fd, SHUT_RDWR);
        c.Cut = true;
      }
  }
};

THttpServer::THttpServer(THandler AHandler, const THttpLimits& ALimits)
    : Impl(std::make_unique<TImpl>()) {
  Impl->Handler = std::move(AHandler);
  Impl->Limits = ALimits;
}

THttpServer::~THttpServer() {
  if (Impl->Daemon) MHD_stop_daemon(Impl->Daemon);
}

bool THttpServer::Listen(const std::string& ABind, uint16_t APort, std::string& AError) {
  sockaddr_in v4{};
  sockaddr_in6 v6{};
  const sockaddr* address = nullptr;
  unsigned flags = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL_INTERNAL_THREAD;
  if (inet_pton(AF_INET, ABind.c_str(), &v4.sin_addr) == 1) {
    v4.sin_family = AF_INET;
    v4.sin_port = htons(APort);
    address = reinterpret_cast<const sockaddr*>(&v4);
  } else if (inet_pton(AF_INET6, ABind.c_str(), &v6.sin6_addr) == 1) {
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(APort);
    address = reinterpret_cast<const sockaddr*>(&v6);
    flags |= MHD_USE_IPv6;
  } else {
    AError = "not an address: " + ABind;
    return false;
  }
  // The buffer of a connection holds the request header and the answer's header; a header that
  // does not fit is refused by libmicrohttpd itself.
  const size_t memory = Impl->Limits.MaxHeader + (size_t(32) << 10);
  Impl->Daemon = MHD_start_daemon(
      flags, APort, &TImpl::OnAccept, Impl.get(), &TImpl::OnRequest, Impl.get(),
      MHD_OPTION_SOCK_ADDR, address, MHD_OPTION_CONNECTION_TIMEOUT, Impl->Limits.IdleSeconds,
      MHD_OPTION_PER_IP_CONNECTION_LIMIT, Impl->Limits.MaxPerAddress,
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, memory, MHD_OPTION_URI_LOG_CALLBACK, &TImpl::OnUri,
      Impl.get(), MHD_OPTION_NOTIFY_COMPLETED, &TImpl::OnCompleted, Impl.get(),
      MHD_OPTION_NOTIFY_CONNECTION, &TImpl::OnConnection, Impl.get(), MHD_OPTION_END);
  if (!Impl->Daemon) {
    AError = "cannot listen on " + ABind + ":" + std::to_string(APort);
    return false;
  }
  const MHD_DaemonInfo* info = MHD_get_daemon_info(Impl->Daemon, MHD_DAEMON_INFO_BIND_PORT);
  Impl->BoundPort = info ? info->port : APort;
  return true;
}

uint16_t THttpServer::Port() const {
  return Impl->BoundPort;
}

void THttpServer::Sweep() {
  Impl->Sweep();
}

void THttpServer::Run(const std::function<bool()>& AKeepGoing) {
  while (AKeepGoing()) {
    Impl->Sweep();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

bool ETagMatches(const std::string& AIfNoneMatch, const std::string& AETag) {
  if (AETag.empty()) return false;
  size_t pos = 0;
  while (pos < AIfNoneMatch.size()) {
    size_t end = AIfNoneMatch.find(',', pos);
    if (end == std::string::npos) end = AIfNoneMatch.size();
    std::string tag = AIfNoneMatch.substr(pos, end - pos);
    const size_t first = tag.find_first_not_of(" \t");
    tag = first == std::string::npos ? ""
                                     : tag.substr(first, tag.find_last_not_of(" \t") - first + 1);
    if (tag == "*") return true;
    if (tag.rfind("W/", 0) == 0) tag.erase(0, 2);
    if (tag == AETag) return true;
    pos = end + 1;
  }
  return false;
}

}  // namespace jwhost
