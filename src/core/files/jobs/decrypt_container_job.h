#pragma once
// Restoring every entry of a container below an output directory. Each restored file is
// written beside its final name and moved into place only when all its data inflated
// correctly; entry names that would lead outside the output directory are refused.
#include <sys/types.h>

#include <atomic>
#include <memory>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include "crypto/cbc_envelope.h"
#include "files/format/decrypt_record.h"
#include "files/format/zlib_codec.h"
#include "files/io/deferred_flush.h"
#include "files/io/output_directory.h"
#include "files/jobs/file_job_observer.h"
#include "files/pipeline/commit_queue.h"
#include "files/pipeline/ordered_pipeline.h"

namespace sealwise {

class ContainerReader;
class OutputDirectory;
class StagedFile;
struct EntryExtent;

struct DecryptSummary {
    JobOutcome outcome = JobOutcome::kCompleted;
    int entries = 0;       // records in the index
    int restored = 0;      // files written
    int skipped = 0;       // existing files the observer chose to keep
    int failed = 0;        // entries reported through the observer
    int emptyRecords = 0;  // records of size 0 (a file that failed when the container was made)
};

// One run per object. Failures of single entries go to the observer and the run goes on;
// failures of the whole run throw SealError.
class DecryptContainerJob {
  public:
    // The job stops at its next check once stop is requested.
    explicit DecryptContainerJob(FileJobObserver& observer, std::stop_token stop = {});

    // Throws SealError 108 for a container without usable content, 424 for a damaged,
    // truncated or oversized one; 194 when first chunks decipher but none makes sense with the
    // key (a wrong passphrase); 103 when the container or the output directory cannot be opened.
    // Bytes that no entry accounts for are reported through ReportNotice (590).
    DecryptSummary Run(const std::string& containerPath, const std::string& outputDirectory,
                       std::span<const uint8_t> key);
    // The same under the first of candidateKeys (best first) that the container's entries
    // decipher with (files/container_key.h).
    DecryptSummary Run(const std::string& containerPath, const std::string& outputDirectory,
                       const std::vector<Bytes>& candidateKeys);

    // Worker threads that decipher and inflate; 0 (the default) picks the count
    // (thread_count.h). The restored files do not depend on it.
    void SetThreadCount(int threads) { threads_ = threads; }

    // On (the default), every restored file is on disk before Run returns. Off, files that
    // take free names reach the disk when the system writes them back; a file that replaces
    // another is still flushed before it takes the other's place.
    void SetSyncRestoredFiles(bool sync) { syncRestored_ = sync; }

  private:
    // kCommitting: the file is complete and handed to the commit queue, which decides
    // between restored and failed.
    enum class EntryResult { kCommitting, kSkipped, kFailed, kCancelled };
    struct Target {
        std::unique_ptr<StagedFile> file;  // null: the observer chose to skip the entry
        std::string path;
        Bytes data;  // not yet appended: the commit queue writes it
    };
    // How a file whose free name was taken meanwhile ended.
    enum class Settled { kRestored, kSkipped, kFailed };

    void StartPipeline(const ContainerReader& reader, std::span<const uint8_t> key);
    // The next record of entry index in reading order (records of entries the job is done
    // with are dropped); null when cancelled. Rethrows a failure to read the container.
    DecryptRecord* NextRecordOf(std::size_t index);
    EntryResult DecryptEntry(OutputDirectory& out, const EntryExtent& extent, std::size_t index);
    EntryResult RestoreData(const EntryExtent& extent, std::size_t index, int64_t consumed,
                            int64_t nameBytes, const std::string& display, Target& target);
    Target OpenTarget(OutputDirectory& out, const std::vector<std::string>& components,
                      const std::string& display);
    std::unique_ptr<StagedFile> Staged(std::unique_ptr<StagedFile> file,
                                       const std::string& display) const;
    // Asks about the file that took the name of a restored one (job's thread).
    Settled SettleTakenName(CommitQueue::Result& result);
    bool IsContainer(const Leaf& leaf) const;
    // Whether the piece a worker inflated for chunk c fits the file at its current size.
    bool PieceFits(const DecryptRecord& record, int64_t nameBytes, int64_t fileSize) const;
    // Appends the piece a worker inflated for chunk c; false when it is damaged.
    bool AppendPiece(const DecryptRecord& record, int64_t nameBytes, StagedFile& file);
    EntryResult Damaged(const std::string& item, int stringId, const std::string& argument);
    // Reports the commits finished so far (wait: all of them) and counts them.
    void ReportCommits(bool wait);
    bool Cancelled() const;

    FileJobObserver& observer_;
    std::stop_token stop_;
    int threads_ = 0;
    bool syncRestored_ = true;
    dev_t containerDevice_ = 0;  // the container being read is never replaced
    ino_t containerInode_ = 0;
    std::unique_ptr<DeferredFlush> flush_;  // restored files that wait for the flush at the end
    struct WorkerState {
        explicit WorkerState(std::span<const uint8_t> key) : cipher(key) {}
        CbcEnvelope cipher;
        ZlibCodec codec;
    };
    std::vector<std::unique_ptr<WorkerState>> workers_;
    std::unique_ptr<WorkerState> ownState_;  // opens the records a worker left unopened
    std::unique_ptr<DecryptRecordReader> records_;
    std::unique_ptr<CommitQueue> commits_;
    DecryptSummary* summary_ = nullptr;  // of the running Run
    std::unique_ptr<OrderedPipeline<DecryptBatch>> pipeline_;
    DecryptBatch* batch_ = nullptr;  // being consumed
    std::size_t nextInBatch_ = 0;
};

}  // namespace sealwise
