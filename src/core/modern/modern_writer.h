#pragma once
// Encrypts files, directories and symbolic links into a modern container written front to
// back to any sink (a file, or a pipe). Files are read in pieces on the job's thread, the
// pieces are compressed by worker threads, and sealed and written in order again; memory stays
// at a few pieces per worker whatever the input.
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include "files/jobs/file_job_observer.h"
#include "modern/byte_stream.h"
#include "modern/modern_format.h"
#include "modern/tree_walk.h"

namespace sealwise::modern {

struct ModernWriteOptions {
    int level = 3;  // zstd level, 1 to 19
    KdfCost cost = kDefaultKdfCost;
    int threads = 0;       // 0: the default count
    int containerFd = -1;  // the file being written, left out should the inputs hold it
};

struct ModernWriteSummary {
    JobOutcome outcome = JobOutcome::kCompleted;
    int entries = 0;  // stored
    int failed = 0;   // inputs left out (each reported to the observer)
};

class ModernWriteJob {
  public:
    explicit ModernWriteJob(FileJobObserver& observer, std::stop_token stop = {})
        : observer_(observer), stop_(std::move(stop)) {}

    // keys: one passphrase or 2 to 10 shared keys (UTF-8). Throws SealError when the run
    // cannot complete (a file that changes while it is read: 428; writing fails: 103); the
    // sink then holds an incomplete container, which readers refuse.
    ModernWriteSummary Run(const std::vector<std::string>& inputs, ByteSink& sink,
                           std::span<const std::string> keys, const ModernWriteOptions& options);
    // The same for inputs stored under names of the caller's choosing.
    ModernWriteSummary Run(const std::vector<NamedInput>& inputs, ByteSink& sink,
                           std::span<const std::string> keys, const ModernWriteOptions& options);

  private:
    FileJobObserver& observer_;
    std::stop_token stop_;
};

}  // namespace sealwise::modern
