#include "http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "client_address.h"
#include "http_response_bytes.h"
#include "worker_pool.h"

namespace sealwise::mailservice {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kListenerId = 0;
constexpr uint64_t kWakeId = 1;
constexpr std::size_t kReadPiece = 16 * 1024;
constexpr int kReadsPerEvent = 4;  // then the other connections get their turn
constexpr std::size_t kDrainBytes = 64 * 1024;
constexpr auto kWriteTime = std::chrono::seconds(10);
constexpr auto kDrainTime = std::chrono::seconds(1);
constexpr auto kSweepInterval = std::chrono::milliseconds(100);
// The kernel buffers little per connection, so what a client sends waits in its own buffers
// instead of the service's memory, and the body limit takes effect soon after it is passed.
constexpr int kSocketReceiveBuffer = 64 * 1024;

}  // namespace

struct HttpServer::State {
    enum class Phase { kReading, kWorking, kWriting, kDraining };

    struct Connection {
        int fd = -1;
        std::string peer;
        bool cappedPerClient = true;
        std::optional<HttpRequestReader> reader;
        Phase phase = Phase::kReading;
        bool peerGone = false;  // reset while a worker had its request
        Clock::time_point deadline;
        std::string output;
        std::size_t written = 0;
        std::size_t accounted = 0;  // of the buffered-bytes budget
        std::size_t drained = 0;
    };

    HttpServerLimits limits;
    HttpServerHooks hooks;
    int listenFd = -1;
    int epollFd = -1;
    int wakeFd = -1;
    bool listenerPaused = false;
    std::atomic<bool> stopping{false};
    std::unordered_map<uint64_t, Connection> connections;
    std::map<std::string, std::size_t> perClient;
    std::size_t buffered = 0;
    uint64_t nextId = 2;
    std::mutex doneMutex;
    std::vector<std::pair<uint64_t, HttpResponse>> done;
    std::unique_ptr<WorkerPool> pool;

    void Watch(int fd, uint64_t id, uint32_t events, int op) {
        epoll_event event{};
        event.events = events;
        event.data.u64 = id;
        epoll_ctl(epollFd, op, fd, &event);
    }

    void Close(uint64_t id) {
        auto it = connections.find(id);
        if (it == connections.end()) return;
        Connection& c = it->second;
        if (!c.peerGone) epoll_ctl(epollFd, EPOLL_CTL_DEL, c.fd, nullptr);
        close(c.fd);
        buffered -= c.accounted;
        if (c.cappedPerClient) {
            auto count = perClient.find(c.peer);
            if (count != perClient.end() && --count->second == 0) perClient.erase(count);
        }
        connections.erase(it);
        if (listenerPaused) {
            listenerPaused = false;
            Watch(listenFd, kListenerId, EPOLLIN, EPOLL_CTL_MOD);
        }
    }

    void Respond(uint64_t id, Connection& c, const HttpResponse& response) {
        const HttpRequest* request = nullptr;
        if (c.reader && c.reader->state() == HttpRequestReader::State::kComplete) {
            request = &c.reader->request();
        }
        if (hooks.answered) hooks.answered(c.peer, request, response);
        c.reader.reset();
        buffered -= c.accounted;
        c.accounted = 0;
        if (c.peerGone) return Close(id);
        c.output = SerializeResponse(response);
        c.written = 0;
        c.phase = Phase::kWriting;
        c.deadline = Clock::now() + kWriteTime;
        Watch(c.fd, id, EPOLLOUT, EPOLL_CTL_MOD);
        Write(id, c);
    }

    void Write(uint64_t id, Connection& c) {
        while (c.written < c.output.size()) {
            const ssize_t sent =
                send(c.fd, c.output.data() + c.written, c.output.size() - c.written, MSG_NOSIGNAL);
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            if (sent <= 0) return Close(id);
            c.written += static_cast<std::size_t>(sent);
        }
        // Answered: stop sending, and read a little of what is still coming so that the client
        // can see the answer instead of a reset, then close.
        shutdown(c.fd, SHUT_WR);
        c.output.clear();
        c.phase = Phase::kDraining;
        c.deadline = Clock::now() + kDrainTime;
        Watch(c.fd, id, EPOLLIN | EPOLLRDHUP, EPOLL_CTL_MOD);
    }

    void Drain(uint64_t id, Connection& c) {
        char piece[kReadPiece];
        const ssize_t got = recv(c.fd, piece, sizeof piece, 0);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (got <= 0) return Close(id);
        c.drained += static_cast<std::size_t>(got);
        if (c.drained > kDrainBytes) Close(id);
    }

    void Read(uint64_t id, Connection& c) {
        char piece[kReadPiece];
        for (int i = 0; i < kReadsPerEvent; ++i) {
            const ssize_t got = recv(c.fd, piece, sizeof piece, 0);
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            if (got <= 0) return Close(id);  // the client gave up or reset
            const auto state =
                c.reader->Feed(std::string_view(piece, static_cast<std::size_t>(got)));
            const std::size_t now = c.reader->bufferedBytes();
            buffered = buffered - c.accounted + now;
            c.accounted = now;
            if (state == HttpRequestReader::State::kFailed) {
                return Respond(id, c, hooks.readFailure(c.reader->failureStatus()));
            }
            if (buffered > limits.maxBufferedBytes) {
                return Respond(id, c, hooks.refusal(FrontRefusal::kBusy));
            }
            if (state == HttpRequestReader::State::kComplete) return Dispatch(id, c);
        }
    }

    void Dispatch(uint64_t id, Connection& c) {
        c.phase = Phase::kWorking;
        Watch(c.fd, id, 0, EPOLL_CTL_MOD);
        const HttpRequest* request = &c.reader->request();
        const std::string client = !limits.trustedProxy.empty() && c.peer == limits.trustedProxy
                                       ? ForwardedClient(*request, c.peer)
                                       : c.peer;
        const bool queued = pool->TryPost([this, id, request, client] {
            HttpResponse response = hooks.handle(*request, client);
            {
                std::lock_guard lock(doneMutex);
                done.emplace_back(id, std::move(response));
            }
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t ignored = write(wakeFd, &one, sizeof one);
        });
        if (!queued) Respond(id, c, hooks.refusal(FrontRefusal::kBusy));
    }

    void Accept() {
        for (;;) {
            sockaddr_storage peer{};
            socklen_t length = sizeof peer;
            const int fd = accept4(listenFd, reinterpret_cast<sockaddr*>(&peer), &length,
                                   SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                    // No descriptor left: wait until a connection closes.
                    listenerPaused = true;
                    Watch(listenFd, kListenerId, 0, EPOLL_CTL_MOD);
                }
                return;
            }
            const uint64_t id = nextId++;
            Connection& c = connections[id];
            c.fd = fd;
            c.peer = PeerAddress(peer);
            c.cappedPerClient = limits.trustedProxy.empty() || c.peer != limits.trustedProxy;
            c.reader.emplace(HttpReadLimits{16 * 1024, limits.maxBodyBytes});
            c.deadline = Clock::now() + limits.requestTimeout;
            const std::size_t fromPeer = c.cappedPerClient ? ++perClient[c.peer] : 0;
            Watch(fd, id, EPOLLIN, EPOLL_CTL_ADD);
            if (connections.size() > limits.maxConnections ||
                fromPeer > limits.maxConnectionsPerClient) {
                Respond(id, c, hooks.refusal(FrontRefusal::kBusy));
            }
        }
    }

    void TakeFinished() {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t ignored = read(wakeFd, &count, sizeof count);
        std::vector<std::pair<uint64_t, HttpResponse>> finished;
        {
            std::lock_guard lock(doneMutex);
            finished.swap(done);
        }
        for (auto& [id, response] : finished) {
            auto it = connections.find(id);
            if (it != connections.end()) Respond(id, it->second, response);
        }
    }

    void Sweep() {
        const Clock::time_point now = Clock::now();
        std::vector<uint64_t> late;
        for (const auto& [id, c] : connections) {
            if (c.phase != Phase::kWorking && now >= c.deadline) late.push_back(id);
        }
        for (uint64_t id : late) {
            Connection& c = connections.at(id);
            if (c.phase == Phase::kReading) {
                Respond(id, c, hooks.refusal(FrontRefusal::kTimeout));
            } else {
                Close(id);
            }
        }
    }

    void Event(uint64_t id, uint32_t events) {
        auto it = connections.find(id);
        if (it == connections.end()) return;
        Connection& c = it->second;
        switch (c.phase) {
            case Phase::kReading:
                return Read(id, c);
            case Phase::kWorking:
                // Reset while its request is handled: forget the socket until the worker is done.
                if (events & (EPOLLERR | EPOLLHUP)) {
                    epoll_ctl(epollFd, EPOLL_CTL_DEL, c.fd, nullptr);
                    c.peerGone = true;
                }
                return;
            case Phase::kWriting:
                if (events & (EPOLLERR | EPOLLHUP)) return Close(id);
                return Write(id, c);
            case Phase::kDraining:
                return Drain(id, c);
        }
    }
};

HttpServer::HttpServer(HttpServerLimits limits, HttpServerHooks hooks)
    : state_(std::make_unique<State>()) {
    state_->limits = std::move(limits);
    state_->hooks = std::move(hooks);
    state_->epollFd = epoll_create1(EPOLL_CLOEXEC);
    state_->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    state_->Watch(state_->wakeFd, kWakeId, EPOLLIN, EPOLL_CTL_ADD);
}

HttpServer::~HttpServer() {
    state_->pool.reset();
    for (auto& [id, c] : state_->connections) close(c.fd);
    if (state_->listenFd >= 0) close(state_->listenFd);
    close(state_->wakeFd);
    close(state_->epollFd);
}

std::optional<uint16_t> HttpServer::Bind(const std::string& host, uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return std::nullopt;
    }
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kSocketReceiveBuffer, sizeof kSocketReceiveBuffer);
        if (bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, SOMAXCONN) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) return std::nullopt;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    const uint16_t chosen =
        ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                          : reinterpret_cast<sockaddr_in&>(bound).sin_port);
    state_->listenFd = fd;
    state_->Watch(fd, kListenerId, EPOLLIN, EPOLL_CTL_ADD);
    return chosen;
}

void HttpServer::Run() {
    State& s = *state_;
    s.pool = std::make_unique<WorkerPool>(s.limits.workers, s.limits.maxQueued);
    Clock::time_point nextSweep = Clock::now() + kSweepInterval;
    epoll_event events[64];
    while (!s.stopping.load()) {
        const int ready =
            epoll_wait(s.epollFd, events, 64, static_cast<int>(kSweepInterval.count()));
        for (int i = 0; i < ready; ++i) {
            const uint64_t id = events[i].data.u64;
            if (id == kListenerId) {
                s.Accept();
            } else if (id == kWakeId) {
                s.TakeFinished();
            } else {
                s.Event(id, events[i].events);
            }
        }
        if (Clock::now() >= nextSweep) {
            s.Sweep();
            nextSweep = Clock::now() + kSweepInterval;
        }
    }
    s.pool.reset();  // lets the running deliveries end
}

void HttpServer::Stop() {
    state_->stopping.store(true);
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = write(state_->wakeFd, &one, sizeof one);
}

}  // namespace sealwise::mailservice
