#pragma once
// The service's HTTP front: one thread reads every connection without blocking (so slow or
// idle clients cost a socket and a small buffer, never a thread), within a deadline for the
// whole request, caps on connections in all and per client, a budget of buffered bytes and
// the body limit. Complete requests go to a small pool of workers through a bounded queue.
// Every connection carries one request and one answer.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "http_request_reader.h"

namespace sealwise::mailservice {

struct HttpResponse {
    int status = 200;
    std::string body;
};

struct HttpServerLimits {
    std::size_t maxBodyBytes = 1024 * 1024;
    std::size_t maxConnections = 512;
    std::size_t maxConnectionsPerClient = 16;
    std::chrono::milliseconds requestTimeout{std::chrono::seconds(20)};
    std::size_t maxBufferedBytes = 32 * 1024 * 1024;  // of all requests being read or handled
    std::size_t workers = 4;
    std::size_t maxQueued = 32;
    std::string trustedProxy;  // its connections are not capped per client
};

// Why the front answered a request itself.
enum class FrontRefusal { kBusy, kTimeout, kBadRequest };

struct HttpServerHooks {
    // Runs on a worker for each complete request; client is the peer's address.
    std::function<HttpResponse(const HttpRequest& request, const std::string& client)> handle;
    // The answer when the reader refused a request (status 400, 411, 413, 431, 501, 505).
    std::function<HttpResponse(int status)> readFailure;
    // The answer when the front refuses (busy, too slow).
    std::function<HttpResponse(FrontRefusal why)> refusal;
    // After each answer; request is null when none was read. May run on any thread.
    std::function<void(const std::string& client, const HttpRequest* request,
                       const HttpResponse& response)>
        answered;
};

class HttpServer {
  public:
    HttpServer(HttpServerLimits limits, HttpServerHooks hooks);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on host:port (port 0: any free one); returns the port, or nullopt.
    std::optional<uint16_t> Bind(const std::string& host, uint16_t port);
    // Serves until Stop(); returns when the workers have finished what they had.
    void Run();
    // Safe from any thread, also from a signal-waiting thread.
    void Stop();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace sealwise::mailservice
