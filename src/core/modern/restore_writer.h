#pragma once
// Writes restored files on a thread of its own while the caller's thread opens and
// authenticates the next pieces, so that making, writing and committing files overlaps with
// decrypting and decompressing. The caller hands over a file's start, its pieces and then its
// commit (once all its data authenticated) or its abandonment, in stream order; nothing is
// committed that the caller did not commit. Outcomes come back in order for the caller to
// report. Memory stays bounded: a few buffers for large pieces and more for small ones, all
// reused, and a capped queue.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "files/io/deferred_flush.h"
#include "files/io/posix_io.h"
#include "modern/records.h"
#include "modern/restore_file.h"
#include "util/bytes.h"

namespace sealwise::modern {

class RestoreWriter {
  public:
    // What became of one file handed over.
    struct Outcome {
        std::string name;  // as given to Begin
        std::string path;  // where it went, for reports
        int64_t size = 0;
        bool committed = false;    // false: abandoned, or failed
        std::exception_ptr error;  // why it failed, if it did
    };

    explicit RestoreWriter(DeferredFlush& flush);
    ~RestoreWriter();  // abandons an open file and waits for the thread
    RestoreWriter(const RestoreWriter&) = delete;
    RestoreWriter& operator=(const RestoreWriter&) = delete;

    // A file to make as finalName in dir; replaces: it takes the place of an existing file, so
    // it reaches the disk before its rename.
    void Begin(SharedFd dir, std::string finalName, bool replaces, std::string name,
               std::string path);
    // Copies the piece; waits while every buffer is in use.
    void Append(std::span<const uint8_t> piece);
    void Commit(const EntryMeta& meta);
    // Drops the open file, if any; its temporary file is removed.
    void Abandon();
    // Waits until everything handed over is done.
    void Drain();
    // The outcomes of files done since the last call, in the order they were begun.
    std::vector<Outcome> TakeOutcomes();
    bool fileOpen() const noexcept { return open_; }

  private:
    enum class Kind { kBegin, kPiece, kCommit, kAbandon };
    struct Task {
        Kind kind;
        SharedFd dir{};
        std::string finalName{};
        bool replaces = false;
        Outcome outcome{};
        std::size_t buffer = 0;
        bool large = false;  // from the pool of large buffers
        EntryMeta meta{};
    };
    struct Pool {
        std::vector<Bytes> buffers;
        std::vector<std::size_t> free;
        explicit Pool(std::size_t count);
    };

    void Push(Task task, bool wake = true);
    // Waits, with the lock held, until ready() holds; wakes the writer if it sleeps on work.
    void WaitLocked(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready);
    void Run();
    void Handle(Task& task);
    void Finish(bool committed);
    // Whether the caller, if it waits, has reason to look again: the threads take turns only
    // after a stretch of work, not after every small piece.
    bool CallerShouldWake(const Task& done) const;

    static constexpr std::size_t kLargeBuffers = 3;
    static constexpr std::size_t kSmallBuffers = 32;
    static constexpr std::size_t kSmallPiece = 64 * 1024;  // a small buffer holds no more
    static constexpr std::size_t kMaxTasks = 96;

    DeferredFlush& flush_;
    bool open_ = false;  // the caller's side: a file begun and not yet committed or abandoned

    std::mutex mutex_;
    std::condition_variable work_;  // the writer waits for tasks
    std::condition_variable room_;  // the caller waits for room, a buffer or the end
    std::deque<Task> tasks_;
    Pool large_{kLargeBuffers};
    Pool small_{kSmallBuffers};
    std::vector<Outcome> outcomes_;
    bool busy_ = false;  // the thread is handling a task
    bool writerWaiting_ = false;
    bool callerWaiting_ = false;
    bool closing_ = false;

    // The thread's side: the file being written.
    std::unique_ptr<RestoreFile> file_;
    Outcome current_;

    std::thread thread_;  // last: runs on the members above
};

}  // namespace sealwise::modern
