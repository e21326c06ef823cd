#pragma once
// A fixed set of threads for the heavy steps of the file jobs (compressing, deciphering,
// inflating). Tasks start in the order they were submitted; each learns which worker runs it,
// so that per-worker state (a codec, a keyed cipher) needs no locking. A pool of zero threads
// runs every task at once on the submitting thread.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace sealwise {

class WorkerPool {
  public:
    using Task = std::function<void(int worker)>;

    explicit WorkerPool(int threads);
    // Tasks not yet started are dropped; running ones are waited for.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Number of per-worker states the tasks may index (at least 1).
    int workers() const noexcept {
        return threads_.empty() ? 1 : static_cast<int>(threads_.size());
    }
    bool runsInline() const noexcept { return threads_.empty(); }

    void Submit(Task task);

  private:
    void Work(int worker);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace sealwise
