#include "files/commit_queue.h"

namespace sealwise {

CommitQueue::CommitQueue(int threads) : pool_(threads) {}

CommitQueue::~CommitQueue() { Collect(true); }

void CommitQueue::Submit(std::unique_ptr<StagedFile> file, std::string display, std::string path,
                         int64_t bytes) {
    {
        // Each waiting file holds two descriptors: a slow disk must not make them run out.
        std::unique_lock lock(mutex_);
        doneCv_.wait(lock, [this, &path] {
            std::size_t waiting = 0;
            for (const auto& job : jobs_) {
                if (job->done) continue;
                if (job->result.path == path || ++waiting >= kMaxWaiting) return false;
            }
            return true;
        });
    }
    auto job = std::make_shared<Job>();
    const bool flushPending = !file->flushOnCommit();
    job->file = std::move(file);
    job->result = {std::move(display), std::move(path), bytes, std::nullopt, flushPending};
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(job);
    }
    pool_.Submit([this, job](int) {
        std::optional<SealError> error;
        try {
            job->file->Commit();
        } catch (const SealError& e) {
            error = e;
        }
        job->file.reset();  // discards the temporary file if the commit failed
        {
            std::lock_guard lock(mutex_);
            job->result.error = std::move(error);
            job->done = true;
        }
        doneCv_.notify_all();
    });
}

bool CommitQueue::Pending(const std::string& path) {
    std::lock_guard lock(mutex_);
    for (const auto& job : jobs_) {
        const std::string& committing = job->result.path;
        if (!job->done && path.starts_with(committing) &&
            (path.size() == committing.size() || path[committing.size()] == '/')) {
            return true;
        }
    }
    return false;
}

std::vector<CommitQueue::Result> CommitQueue::Collect(bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) {
        doneCv_.wait(lock, [this] {
            for (const auto& job : jobs_) {
                if (!job->done) return false;
            }
            return true;
        });
    }
    std::vector<Result> results;
    while (!jobs_.empty() && jobs_.front()->done) {
        results.push_back(std::move(jobs_.front()->result));
        jobs_.pop_front();
    }
    return results;
}

}  // namespace sealwise
