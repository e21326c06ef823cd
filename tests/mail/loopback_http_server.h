#pragma once
// Test helpers on 127.0.0.1 only: a one-shot HTTP listener that records the raw request and
// answers with a given body (or stays silent), and a port on which nothing listens.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

namespace sealwise::testing {

// A proxy named in the environment must not stand between the client and these servers.
inline void BypassProxiesForLoopback() {
    setenv("no_proxy", "127.0.0.1,::1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,::1,localhost", 1);
}

inline int BindLoopback(uint16_t& port) {
    BypassProxiesForLoopback();
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        throw std::runtime_error("bind to 127.0.0.1 failed");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// A bound socket that never listens: connecting to its port is refused at once.
class ClosedLoopbackPort {
  public:
    ClosedLoopbackPort() : fd_(BindLoopback(port_)) {}
    ~ClosedLoopbackPort() { close(fd_); }
    ClosedLoopbackPort(const ClosedLoopbackPort&) = delete;
    ClosedLoopbackPort& operator=(const ClosedLoopbackPort&) = delete;
    uint16_t port() const { return port_; }

  private:
    uint16_t port_ = 0;
    int fd_;
};

// Accepts one connection, reads one request (headers and Content-Length bytes of body) and
// answers "200 OK" with answerBody, or, when silent, keeps the connection open without a word
// until destroyed. Every wait is bounded, so a broken client cannot hang a test.
class LoopbackHttpServer {
  public:
    enum class Mode { kAnswer, kSilent };

    explicit LoopbackHttpServer(std::string answerBody, Mode mode = Mode::kAnswer)
        : listenFd_(BindLoopback(port_)), answer_(std::move(answerBody)), mode_(mode) {
        if (listen(listenFd_, 1) != 0) {
            close(listenFd_);
            throw std::runtime_error("listen failed");
        }
        requestFuture_ = requestPromise_.get_future();
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackHttpServer() {
        stop_ = true;
        thread_.join();
        close(listenFd_);
    }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    uint16_t port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // The raw bytes of the request; empty if none arrived within the wait.
    std::string Request(std::chrono::seconds wait = std::chrono::seconds(10)) {
        if (requestFuture_.wait_for(wait) != std::future_status::ready) return {};
        return requestFuture_.get();
    }

  private:
    // Waits up to 10 s (in slices, so that stop_ is noticed) until fd is readable.
    bool WaitReadable(int fd) {
        for (int slice = 0; slice < 200 && !stop_; ++slice) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) return true;
        }
        return false;
    }

    static std::size_t ExpectedLength(const std::string& data) {
        const std::size_t end = data.find("\r\n\r\n");
        if (end == std::string::npos) return std::string::npos;
        std::size_t body = 0;
        const std::size_t at = data.find("Content-Length: ");
        if (at != std::string::npos && at < end) body = std::stoul(data.substr(at + 16));
        return end + 4 + body;
    }

    void Serve() {
        std::string request;
        if (WaitReadable(listenFd_)) {
            const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                char buffer[4096];
                while (request.size() < ExpectedLength(request) && request.size() < (8u << 20) &&
                       WaitReadable(fd)) {
                    const ssize_t n = read(fd, buffer, sizeof buffer);
                    if (n <= 0) break;
                    request.append(buffer, static_cast<std::size_t>(n));
                }
                requestPromise_.set_value(request);
                if (mode_ == Mode::kAnswer) {
                    const std::string response =
                        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                        std::to_string(answer_.size()) + "\r\nConnection: close\r\n\r\n" + answer_;
                    (void)!write(fd, response.data(), response.size());
                } else {
                    for (int slice = 0; slice < 1500 && !stop_; ++slice) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    }
                }
                close(fd);
                return;
            }
        }
        requestPromise_.set_value(request);
    }

    uint16_t port_ = 0;
    int listenFd_;
    std::string answer_;
    Mode mode_;
    std::atomic<bool> stop_{false};
    std::promise<std::string> requestPromise_;
    std::future<std::string> requestFuture_;
    std::thread thread_;
};

}  // namespace sealwise::testing
