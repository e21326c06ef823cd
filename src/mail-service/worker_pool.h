#pragma once
// A fixed number of threads that run jobs from a queue of bounded length: when the queue is
// full a job is refused at once instead of piling up.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace sealwise::mailservice {

class WorkerPool {
  public:
    WorkerPool(std::size_t threads, std::size_t maxQueued);
    ~WorkerPool();  // runs the queued jobs to their end, then joins
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // False when maxQueued jobs are already waiting (the job is not taken).
    bool TryPost(std::function<void()> job);

  private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::size_t maxQueued_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace sealwise::mailservice
