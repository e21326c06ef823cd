#pragma once
// Restoring every entry of a container below an output directory. Each restored file is
// written beside its final name and moved into place only when all its data inflated
// correctly; entry names that would lead outside the output directory are refused.
#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "crypto/rijndael.h"
#include "files/file_job_observer.h"
#include "files/zlib_codec.h"

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
    explicit DecryptContainerJob(FileJobObserver& observer,
                                 const std::atomic<bool>* cancelRequested = nullptr);

    // Throws SealError 108 for a container without usable content, 424 for a damaged,
    // truncated or oversized one; 194 when the first entry shows that the passphrase is
    // wrong; 103 when the container or the output directory cannot be opened.
    DecryptSummary Run(const std::string& containerPath, const std::string& outputDirectory,
                       std::span<const uint8_t> key);

    // Safe from any thread: the job stops at its next check.
    void RequestCancel() noexcept { cipher_.setDoCancel(true); }

  private:
    enum class EntryResult { kRestored, kSkipped, kFailed, kCancelled };
    struct Target {
        std::unique_ptr<StagedFile> file;  // null: the observer chose to skip the entry
        std::string path;
    };

    EntryResult DecryptEntry(const ContainerReader& reader, const OutputDirectory& out,
                             const EntryExtent& extent, std::size_t index, bool lampFlag);
    EntryResult RestoreData(const ContainerReader& reader, const EntryExtent& extent,
                            int64_t consumed, int64_t nameBytes, const std::string& display,
                            Target& target, bool lampFlag);
    Target OpenTarget(const OutputDirectory& out, const std::vector<std::string>& components,
                      const std::string& display);
    // Inflates the block of chunk c and appends it; false when it is damaged.
    bool AppendPiece(std::span<const uint8_t> block, int64_t chunk, int64_t nameBytes,
                     bool lastChunk, StagedFile& file);
    EntryResult Damaged(const std::string& item, int stringId, const std::string& argument);
    bool Cancelled() const;

    FileJobObserver& observer_;
    const std::atomic<bool>* cancelRequested_;
    CRijndael cipher_;
    ZlibCodec codec_;
    LampState lamps_ = kLampsAtStart;
    bool keyVerified_ = false;  // an entry has shown that the key is right
    Bytes cipherBytes_, plain_, piece_;
};

}  // namespace sealwise
