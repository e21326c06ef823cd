#include "cli/interrupt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace sealwise::cli {
namespace {

std::atomic<bool> interrupted{false};
std::atomic<int> interruptSignal{0};
std::atomic<int> wakeFd{-1};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void OnSignal(int signal) {
    const int savedErrno = errno;
    interruptSignal.store(signal);
    interrupted.store(true);
    if (const int fd = wakeFd.load(); fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);  // async-signal-safe
    }
    errno = savedErrno;
}

}  // namespace

InterruptFlag::InterruptFlag() {
    interrupted.store(false);
    interruptSignal.store(0);
    if (int fds[2]; ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
        // The watcher waits in a blocking read; only the handler's end stays non-blocking.
        ::fcntl(wakeRead_, F_SETFL, 0);
        wakeFd.store(wakeWrite_);
        watcher_ = std::thread([this] {
            char byte = 0;
            for (;;) {
                const ssize_t got = ::read(wakeRead_, &byte, 1);
                if (got < 0 && errno == EINTR) continue;
                if (got == 1 && interrupted.load()) stop_.request_stop();
                return;  // a signal was passed on, or the pipe was closed
            }
        });
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
    sigaction(SIGHUP, &action, &oldHup_);
}

InterruptFlag::~InterruptFlag() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGHUP, &oldHup_, nullptr);
    wakeFd.store(-1);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);  // ends the watcher's read
    if (watcher_.joinable()) watcher_.join();
    if (wakeRead_ >= 0) ::close(wakeRead_);
}

const std::atomic<bool>* InterruptFlag::flag() const noexcept { return &interrupted; }

int InterruptSignal() noexcept { return interruptSignal.load(); }

void ClearInterruptSignal() noexcept { interruptSignal.store(0); }

}  // namespace sealwise::cli
