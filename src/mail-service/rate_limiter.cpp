#include "rate_limiter.h"

namespace sealwise::mailservice {

RateLimiter::RateLimiter(std::size_t limit, std::chrono::seconds window, std::size_t maxKeys)
    : limit_(limit), window_(window), maxKeys_(maxKeys) {}

void RateLimiter::DropExpired(Clock::time_point now) {
    for (auto it = events_.begin(); it != events_.end();) {
        if (now - it->second.back() >= window_) {
            it = events_.erase(it);
        } else {
            ++it;
        }
    }
}

bool RateLimiter::TryCount(std::string_view key, Clock::time_point now) {
    if (limit_ == 0) return true;
    std::lock_guard lock(mutex_);
    auto it = events_.find(key);
    if (it == events_.end()) {
        if (events_.size() >= maxKeys_) DropExpired(now);
        if (events_.size() >= maxKeys_) return false;
        it = events_.emplace(std::string(key), std::deque<Clock::time_point>{}).first;
    }
    std::deque<Clock::time_point>& times = it->second;
    while (!times.empty() && now - times.front() >= window_) times.pop_front();
    if (times.size() >= limit_) return false;
    times.push_back(now);
    return true;
}

}  // namespace sealwise::mailservice
