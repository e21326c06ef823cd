#pragma once
// Ctrl-C, SIGTERM and SIGHUP during a file job: instead of ending the process at once (which
// would leave a half-written temporary file), they ask the job to stop; it checks after each
// chunk. Once the job has cleaned up, the command line exits with 128 + the signal's number,
// as a shell reports a program that the signal ended.
#include <atomic>
#include <csignal>
#include <stop_token>
#include <thread>

namespace sealwise::cli {

class InterruptFlag {
  public:
    InterruptFlag();   // installs the handlers
    ~InterruptFlag();  // restores the previous ones
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    // Raised in the signal handler itself.
    const std::atomic<bool>* flag() const noexcept;
    bool raised() const noexcept { return flag()->load(); }
    // Requested soon after the signal: a handler may not call into a stop source, so it wakes
    // a watcher thread that does.
    std::stop_token stopToken() const noexcept { return stop_.get_token(); }

  private:
    struct sigaction oldInt_ {
    }, oldTerm_{}, oldHup_{};
    std::stop_source stop_;
    int wakeRead_ = -1, wakeWrite_ = -1;  // the pipe the handler writes a byte to
    std::thread watcher_;
};

// The signal that last raised the flag, 0 when none did since the last InterruptFlag was made.
int InterruptSignal() noexcept;
// Forgets it, before a new command runs.
void ClearInterruptSignal() noexcept;

}  // namespace sealwise::cli
