#pragma once
// Encrypting a list of files into one container: each file becomes an entry of compressed,
// enciphered chunks; the index of entry sizes closes the container. The container is written
// beside its final name and moved into place only when complete.
#include <atomic>
#include <span>
#include <string>
#include <vector>

#include "crypto/rijndael.h"
#include "files/encrypt_item.h"
#include "files/file_job_observer.h"
#include "files/input_source.h"
#include "files/zlib_codec.h"

namespace sealwise {

class StagedFile;

struct EncryptSummary {
    JobOutcome outcome = JobOutcome::kCompleted;
    std::vector<int32_t> storedSizes;  // S per item; 0 for a file that failed
    int failedFiles = 0;
    int64_t containerSize = 0;
};

// One run per object. Failures of single files go to the observer (the file's index record is
// then 0 and the run goes on); failures of the run throw SealError and leave no container.
class EncryptFilesJob {
  public:
    explicit EncryptFilesJob(FileJobObserver& observer,
                             const std::atomic<bool>* cancelRequested = nullptr);

    // Replaces how files are opened (tests inject failing readers here).
    void SetInputOpener(InputOpener opener) { openInput_ = std::move(opener); }

    // Throws SealError 114 for an empty list or container path, 423 when the container would
    // reach 2 GiB, 103 when the container cannot be written.
    EncryptSummary Run(const std::vector<EncryptItem>& items, const std::string& containerPath,
                       std::span<const uint8_t> key);

    // Safe from any thread: the job stops at its next check.
    void RequestCancel() noexcept { cipher_.setDoCancel(true); }

  private:
    // Appends the entry of one file; returns its stored size, 0 after a failure (the container
    // is then cut back to where the entry began).
    int32_t EncryptFileToContainer(const EncryptItem& item, StagedFile& container, bool lampFlag);
    void WriteEntryChunks(const EncryptItem& item, StagedFile& container, bool lampFlag);
    void AppendRecord(StagedFile& container);
    bool Cancelled() const;

    FileJobObserver& observer_;
    const std::atomic<bool>* cancelRequested_;
    InputOpener openInput_ = OpenInputFile;
    CRijndael cipher_;
    ZlibCodec codec_;
    LampState lamps_ = kLampsAtStart;
    int64_t containerLimit_ = 0;  // the entries must end below this to leave room for the index
    Bytes piece_, plain_, cipherBytes_;
};

}  // namespace sealwise
