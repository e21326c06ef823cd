#pragma once
// Finishing restored files on a few threads at once: each file is flushed to disk and moved
// into place (StagedFile::Commit) while the job restores the next entries. Flushes that run
// together share the file system's journal commits, which one after the other cost a few
// milliseconds per file. Results come back in the order the files were handed over.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "files/staged_file.h"
#include "files/worker_pool.h"
#include "util/errors.h"

namespace sealwise {

class CommitQueue {
  public:
    struct Result {
        std::string display;  // how the job names the entry
        std::string path;     // where the file now is
        int64_t bytes = 0;
        std::optional<SealError> error;  // the commit failed; the file is not in place
        bool flushPending = false;       // committed without its own flush (FlushCommittedFiles)
    };

    // threads <= 1: every commit runs at once on the caller's thread.
    explicit CommitQueue(int threads);
    // Finishes every commit handed over (complete files stay, as they would have without
    // the queue).
    ~CommitQueue();

    // Hands over a complete file. A commit to the same path still under way is finished
    // first, so that the later file wins as it would one after the other; so are enough
    // others that no more than kMaxWaiting are under way.
    void Submit(std::unique_ptr<StagedFile> file, std::string display, std::string path,
                int64_t bytes);
    // True while a commit is under way to path or to a file that path would run through
    // ("a" for "a/b"): the job must not look at that path yet.
    bool Pending(const std::string& path);
    // The results finished so far, in hand-over order; wait: all of them.
    std::vector<Result> Collect(bool wait);

  private:
    static constexpr std::size_t kMaxWaiting = 32;

    struct Job {
        std::unique_ptr<StagedFile> file;
        Result result;
        bool done = false;
    };

    std::mutex mutex_;
    std::condition_variable doneCv_;
    std::deque<std::shared_ptr<Job>> jobs_;
    WorkerPool pool_;  // last: joined before the jobs go away
};

}  // namespace sealwise
