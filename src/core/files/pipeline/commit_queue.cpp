#include "files/pipeline/commit_queue.h"

#include <utility>

namespace sealwise {

CommitQueue::CommitQueue(int threads) : pool_(threads) {}

CommitQueue::~CommitQueue() { Collect(true); }

void CommitQueue::Submit(std::unique_ptr<StagedFile> file, Bytes data, std::string display,
                         std::string path) {
    {
        // Each waiting file holds a descriptor and maybe its data: a slow disk must not make
        // them run out.
        std::unique_lock lock(mutex_);
        const auto room = [this, &path, &data] {
            std::size_t waiting = 0;
            for (const auto& job : jobs_) {
                if (job->done) continue;
                if (job->result.path == path || ++waiting >= kMaxWaiting) return false;
            }
            return waiting == 0 || waitingBytes_ + data.size() <= kMaxWaitingBytes;
        };
        if (!room()) {
            // What it waits for may still be in the batch.
            lock.unlock();
            SendBatch();
            lock.lock();
            doneCv_.wait(lock, room);
        }
        waitingBytes_ += data.size();
    }
    auto job = std::make_shared<Job>();
    job->result.bytes = file->size() + static_cast<int64_t>(data.size());
    job->file = std::move(file);
    job->data = std::move(data);
    job->dataBytes = job->data.size();
    job->result.display = std::move(display);
    job->result.path = std::move(path);
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(job);
    }
    batchBytes_ += job->data.size();
    batch_.push_back(std::move(job));
    if (batch_.size() >= kBatchFiles || batchBytes_ >= kBatchBytes || pool_.runsInline()) {
        SendBatch();
    }
}

void CommitQueue::SendBatch() {
    if (batch_.empty()) return;
    pool_.Submit([this, batch = std::exchange(batch_, {})](int) {
        for (const auto& job : batch) Run(*job);
        // One hand-back per batch: the job's thread wakes once, not once per file.
        {
            std::lock_guard lock(mutex_);
            for (const auto& job : batch) {
                waitingBytes_ -= job->dataBytes;
                job->done = true;
            }
        }
        doneCv_.notify_all();
    });
    batchBytes_ = 0;
}

void CommitQueue::Run(Job& job) {
    std::optional<SealError> error;
    bool taken = false;
    try {
        if (!job.data.empty()) job.file->Append(job.data);
        job.file->Commit();
    } catch (const NameTakenError&) {
        taken = true;
    } catch (const SealError& e) {
        error = e;
    }
    job.data = Bytes();
    if (taken) {
        job.result.unplaced = std::move(job.file);
    } else {
        job.file.reset();  // discards the staged file if the commit failed
    }
    job.result.error = std::move(error);
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
    if (wait) SendBatch();
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
