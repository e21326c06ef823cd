#include "modern/restore_writer.h"

#include <utility>

namespace sealwise::modern {

RestoreWriter::Pool::Pool(std::size_t count) : buffers(count) {
    for (std::size_t i = 0; i < count; ++i) free.push_back(i);
}

RestoreWriter::RestoreWriter(DeferredFlush& flush) : flush_(flush), thread_([this] { Run(); }) {}

RestoreWriter::~RestoreWriter() {
    Abandon();
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    work_.notify_one();
    thread_.join();
}

// The two threads wake each other only when the other one sleeps: most pieces pass without a
// system call.
void RestoreWriter::WaitLocked(std::unique_lock<std::mutex>& lock,
                               const std::function<bool()>& ready) {
    while (!ready()) {
        if (writerWaiting_ && !tasks_.empty()) work_.notify_one();
        callerWaiting_ = true;
        room_.wait(lock);
        callerWaiting_ = false;
    }
}

void RestoreWriter::Push(Task task, bool wake) {
    bool notify = false;
    {
        std::unique_lock lock(mutex_);
        WaitLocked(lock, [this] { return tasks_.size() < kMaxTasks; });
        tasks_.push_back(std::move(task));
        notify = wake && writerWaiting_;
    }
    if (notify) work_.notify_one();
}

void RestoreWriter::Begin(SharedFd dir, std::string finalName, bool replaces, std::string name,
                          std::string path) {
    Abandon();
    Task task{.kind = Kind::kBegin, .dir = std::move(dir), .finalName = std::move(finalName)};
    task.replaces = replaces;
    task.outcome.name = std::move(name);
    task.outcome.path = std::move(path);
    Push(std::move(task), false);  // the writer wakes for the file's data
    open_ = true;
}

void RestoreWriter::Append(std::span<const uint8_t> piece) {
    const bool large = piece.size() > kSmallPiece;
    Pool& pool = large ? large_ : small_;
    std::size_t index = 0;
    {
        std::unique_lock lock(mutex_);
        WaitLocked(lock, [&pool] { return !pool.free.empty(); });
        index = pool.free.back();
        pool.free.pop_back();
    }
    // Only this thread touches a buffer between taking it and handing it over.
    pool.buffers[index].assign(piece.begin(), piece.end());
    Push({.kind = Kind::kPiece, .buffer = index, .large = large});
}

void RestoreWriter::Commit(const EntryMeta& meta) {
    Push({.kind = Kind::kCommit, .meta = meta});
    open_ = false;
}

void RestoreWriter::Abandon() {
    if (!open_) return;
    Push({.kind = Kind::kAbandon});
    open_ = false;
}

void RestoreWriter::Drain() {
    std::unique_lock lock(mutex_);
    WaitLocked(lock, [this] { return tasks_.empty() && !busy_; });
}

std::vector<RestoreWriter::Outcome> RestoreWriter::TakeOutcomes() {
    std::lock_guard lock(mutex_);
    return std::exchange(outcomes_, {});
}

void RestoreWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        while (tasks_.empty() && !closing_) {
            writerWaiting_ = true;
            work_.wait(lock);
            writerWaiting_ = false;
        }
        if (tasks_.empty()) return;
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        busy_ = true;
        lock.unlock();
        Handle(task);
        lock.lock();
        if (task.kind == Kind::kPiece) (task.large ? large_ : small_).free.push_back(task.buffer);
        busy_ = false;
        if (callerWaiting_ && CallerShouldWake(task)) room_.notify_one();
    }
}

bool RestoreWriter::CallerShouldWake(const Task& done) const {
    return tasks_.empty() || (done.kind == Kind::kPiece && done.large) ||
           small_.free.size() >= kSmallBuffers / 2 || tasks_.size() <= kMaxTasks / 2;
}

// A failure keeps the file's outcome and drops the rest of its data, as the caller reads on.
void RestoreWriter::Handle(Task& task) {
    try {
        switch (task.kind) {
            case Kind::kBegin:
                current_ = std::move(task.outcome);
                file_ = std::make_unique<RestoreFile>(std::move(task.dir), task.finalName,
                                                      task.replaces);
                return;
            case Kind::kPiece:
                if (!file_) return;
                {
                    const Bytes& piece = (task.large ? large_ : small_).buffers[task.buffer];
                    file_->Append(piece);
                    current_.size += static_cast<int64_t>(piece.size());
                }
                return;
            case Kind::kCommit:
                if (file_) file_->Commit(task.meta, flush_);
                Finish(file_ != nullptr);
                return;
            case Kind::kAbandon:
                Finish(false);
                return;
        }
    } catch (...) {
        if (!current_.error) current_.error = std::current_exception();
        file_.reset();  // removes the temporary file
        if (task.kind == Kind::kCommit) Finish(false);
    }
}

void RestoreWriter::Finish(bool committed) {
    file_.reset();
    current_.committed = committed && !current_.error;
    std::lock_guard lock(mutex_);
    outcomes_.push_back(std::exchange(current_, {}));
}

}  // namespace sealwise::modern
