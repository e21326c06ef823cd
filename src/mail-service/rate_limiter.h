#pragma once
// Counts events per key (a client's address, a recipient's address) in a sliding time window
// and refuses the ones over the limit. Safe to use from several threads.
#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace sealwise::mailservice {

class RateLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    // limit 0: no limit. maxKeys bounds the memory: when that many keys are being counted,
    // the ones with nothing left in the window are dropped, and if none is, the new key is
    // refused (an attacker with endless addresses cannot grow the table).
    RateLimiter(std::size_t limit, std::chrono::seconds window, std::size_t maxKeys = 100000);

    // Counts one event for key at now and returns true, or returns false (and counts nothing)
    // when key has had limit events within the window before now.
    bool TryCount(std::string_view key, Clock::time_point now = Clock::now());

  private:
    void DropExpired(Clock::time_point now);

    std::size_t limit_;
    Clock::duration window_;
    std::size_t maxKeys_;
    std::mutex mutex_;
    std::map<std::string, std::deque<Clock::time_point>, std::less<>> events_;
};

}  // namespace sealwise::mailservice
