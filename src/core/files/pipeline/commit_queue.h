#pragma once
// Finishing restored files on a few threads while the job restores the next entries: the
// data of a small file is written there, and each file is given its name (StagedFile::Commit).
// Results come back in the order the files were handed over. Memory and descriptors are
// bounded: at most kMaxWaiting files and kMaxWaitingBytes of data are under way. Small files
// go to the threads a few at a time: waking a thread costs about as much as writing one.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "files/io/staged_file.h"
#include "files/pipeline/worker_pool.h"
#include "util/bytes.h"
#include "util/errors.h"

namespace sealwise {

class CommitQueue {
  public:
    struct Result {
        std::string display;  // how the job names the entry
        std::string path;     // where the file now is
        int64_t bytes = 0;
        std::optional<SealError> error;  // the commit failed; the file is not in place
        // The free name was taken meanwhile: the complete file, for the job to ask about.
        std::unique_ptr<StagedFile> unplaced;
    };

    // threads <= 1: every commit runs at once on the caller's thread.
    explicit CommitQueue(int threads);
    // Finishes every commit handed over (complete files stay, as they would have without
    // the queue).
    ~CommitQueue();

    // Hands over a file, with data still to be appended to it (may be empty). A commit to
    // the same path still under way is finished first, so that the later file wins as it
    // would one after the other.
    void Submit(std::unique_ptr<StagedFile> file, Bytes data, std::string display,
                std::string path);
    // True while a commit is under way to path or to a file that path would run through
    // ("a" for "a/b"): the job must not look at that path yet.
    bool Pending(const std::string& path);
    // The results finished so far, in hand-over order; wait: all of them.
    std::vector<Result> Collect(bool wait);

  private:
    static constexpr std::size_t kMaxWaiting = 32;
    static constexpr std::size_t kMaxWaitingBytes = 8 << 20;
    // A batch goes to a thread when it holds this many files or bytes, or when someone waits.
    static constexpr std::size_t kBatchFiles = 8;
    static constexpr std::size_t kBatchBytes = 1 << 20;

    struct Job {
        std::unique_ptr<StagedFile> file;
        Bytes data;
        std::size_t dataBytes = 0;  // counted in waitingBytes_ until done
        Result result;
        bool done = false;  // result is complete; guarded by mutex_
    };

    using Batch = std::vector<std::shared_ptr<Job>>;
    // Writes and names one file and fills in its result; safe on any thread. The job counts
    // as done once its batch is.
    void Run(Job& job);
    // Hands the files gathered so far to a thread.
    void SendBatch();

    std::mutex mutex_;
    std::condition_variable doneCv_;
    std::deque<std::shared_ptr<Job>> jobs_;
    std::size_t waitingBytes_ = 0;
    Batch batch_;  // handed over, not yet sent to a thread (job's thread only)
    std::size_t batchBytes_ = 0;
    WorkerPool pool_;  // last: joined before the jobs go away
};

}  // namespace sealwise
