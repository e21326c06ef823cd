#pragma once
// Ctrl-C, SIGTERM and SIGHUP during a file job: instead of ending the process at once (which
// would leave a half-written temporary file), they raise a flag that the job checks after each
// chunk. Once the job has cleaned up, the command line exits with 128 + the signal's number,
// as a shell reports a program that the signal ended.
#include <atomic>
#include <csignal>

namespace sealwise::cli {

class InterruptFlag {
  public:
    InterruptFlag();   // installs the handlers
    ~InterruptFlag();  // restores the previous ones
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    const std::atomic<bool>* flag() const noexcept;
    bool raised() const noexcept { return flag()->load(); }

  private:
    struct sigaction oldInt_ {
    }, oldTerm_{}, oldHup_{};
};

// The signal that last raised the flag, 0 when none did since the last InterruptFlag was made.
int InterruptSignal() noexcept;
// Forgets it, before a new command runs.
void ClearInterruptSignal() noexcept;

}  // namespace sealwise::cli
