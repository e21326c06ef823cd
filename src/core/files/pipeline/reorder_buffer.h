#pragma once
// Results that workers finish in any order, handed to one consumer in the order of their
// sequence numbers. The consumer waits with a time limit so that it can keep a user interface
// alive and notice a cancel request while a worker is still busy.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace sealwise {

template <class T>
class ReorderBuffer {
  public:
    // Called by a worker when the result with this sequence number is complete.
    void Put(uint64_t sequence, T value) {
        bool awaited = false;
        {
            std::lock_guard lock(mutex_);
            ready_.emplace(sequence, std::move(value));
            awaited = sequence == next_;
        }
        // A result that arrives early would only wake the consumer to wait again.
        if (awaited) ready_cv_.notify_all();
    }

    // The next result in sequence, or nullopt when it is not complete within timeout.
    std::optional<T> TakeNext(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!ready_cv_.wait_for(lock, timeout, [this] { return ready_.contains(next_); })) {
            return std::nullopt;
        }
        auto node = ready_.extract(next_++);
        return std::move(node.mapped());
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_cv_;
    std::map<uint64_t, T> ready_;
    uint64_t next_ = 0;
};

}  // namespace sealwise
