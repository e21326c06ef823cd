#pragma once
// Ctrl-C and SIGTERM during a file job: instead of ending the process at once (which would
// leave a half-written temporary file), they raise a flag that the job checks after each chunk.
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
    }, oldTerm_{};
};

}  // namespace sealwise::cli
