#include "files/pipeline/worker_pool.h"

namespace sealwise {

WorkerPool::WorkerPool(int threads) {
    // One thread would only add hand-overs: that case runs on the caller's thread.
    if (threads <= 1) return;
    threads_.reserve(static_cast<std::size_t>(threads));
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this, i] { Work(i); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void WorkerPool::Submit(Task task) {
    if (threads_.empty()) {
        task(0);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void WorkerPool::Work(int worker) {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task(worker);
    }
}

}  // namespace sealwise
