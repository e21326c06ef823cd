#pragma once
// Encrypting a list of files into one container: each file becomes an entry of compressed,
// enciphered chunks; the index of entry sizes closes the container. The container is written
// beside its final name and moved into place only when complete.
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

#include "crypto/cbc_envelope.h"
#include "files/format/encrypt_piece.h"
#include "files/format/zlib_codec.h"
#include "files/io/input_source.h"
#include "files/jobs/encrypt_item.h"
#include "files/jobs/file_job_observer.h"
#include "files/pipeline/ordered_pipeline.h"

namespace sealwise {

class RecordWriter;

struct EncryptSummary {
    JobOutcome outcome = JobOutcome::kCompleted;
    std::vector<int32_t> storedSizes;  // S per index record; 0 for a file that failed
    int failedFiles = 0;
    int leftOut = 0;  // items that were the container itself: no entry, no index record
    int64_t containerSize = 0;
};

// One run per object. Failures of single files go to the observer (the file's index record is
// then 0 and the run goes on); failures of the run throw SealError and leave no container. The
// container replaces an existing one only when at least one entry was stored and every write
// succeeded. An input that is the container itself (same device and inode) is left out.
class EncryptFilesJob {
  public:
    // The job stops at its next check once stop is requested.
    explicit EncryptFilesJob(FileJobObserver& observer, std::stop_token stop = {});

    // Replaces how files are opened (tests inject failing readers here).
    void SetInputOpener(InputOpener opener) { openInput_ = std::move(opener); }
    // Worker threads that compress; 0 (the default) picks the count (thread_count.h). The
    // container's bytes do not depend on it.
    void SetThreadCount(int threads) { threads_ = threads; }
    // Replaces the source of the 32 random filler bytes of each entry (tests make them fixed).
    using FillerSource = std::function<void(std::span<uint8_t>)>;
    void SetFillerSource(FillerSource source) { filler_ = std::move(source); }

    // Throws SealError 114 for an empty list or container path, 610 when two items would be
    // stored under one name (before anything is written), 423 when the container would reach
    // 2 GiB, 103 when the container cannot be written, 612 when no entry could be stored.
    EncryptSummary Run(const std::vector<EncryptItem>& items, const std::string& containerPath,
                       std::span<const uint8_t> key);

  private:
    // Appends the entry of one file; returns its stored size, 0 after a failure (the container
    // is then cut back to where the entry began).
    // nullopt when the item was left out.
    std::optional<int32_t> EncryptFileToContainer(std::size_t index, const EncryptItem& item,
                                                  RecordWriter& container);
    // False when the item was left out.
    bool WriteEntryChunks(std::size_t index, const EncryptItem& item, RecordWriter& container);
    void StartPipeline(const std::vector<EncryptItem>& items,
                       const std::vector<std::variant<Bytes, SealError>>& names,
                       std::vector<FileIdentity> leaveOut);
    void FillFiller(std::span<uint8_t> filler);
    // The next unit of item index in reading order (units of items given up are dropped);
    // null when cancelled. Rethrows a failure the unit carries.
    EncryptPiece* NextPieceOf(std::size_t index);
    void AppendRecord(RecordWriter& container);
    bool Cancelled() const;

    FileJobObserver& observer_;
    std::stop_token stop_;
    InputOpener openInput_ = OpenInputFile;
    FillerSource filler_;
    int threads_ = 0;
    std::unique_ptr<CbcEnvelope> cipher_;  // keyed by Run
    int64_t containerLimit_ = 0;  // the entries must end below this to leave room for the index
    std::vector<std::unique_ptr<ZlibCodec>> codecs_;  // one per worker
    std::unique_ptr<EncryptPieceReader> reader_;
    std::unique_ptr<OrderedPipeline<EncryptBatch>> pipeline_;
    EncryptBatch* batch_ = nullptr;  // being consumed
    std::size_t nextInBatch_ = 0;
    Bytes cipherBytes_;
    Bytes randomPool_;  // filler drawn in bulk: one system call for many entries
    std::size_t randomUsed_ = 0;
};

}  // namespace sealwise
