#include "files/jobs/encrypt_files_job.h"

#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>

#include "files/format/byte_order.h"
#include "files/format/container_format.h"
#include "files/format/container_index.h"
#include "files/format/record_writer.h"
#include "files/format/stored_names.h"
#include "files/io/staged_file.h"
#include "files/jobs/input_message_ids.h"
#include "files/jobs/message_ids.h"
#include "files/pipeline/thread_count.h"
#include "util/secure_random.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

namespace {

// Room the index and its length can take at most: 4 digits and a terminator per entry, 4
// digits for the length.
int64_t IndexReserve(std::size_t entries) { return 5 * static_cast<int64_t>(entries) + 4; }

}  // namespace

EncryptFilesJob::EncryptFilesJob(FileJobObserver& observer, std::stop_token stop)
    : observer_(observer), stop_(std::move(stop)) {}

bool EncryptFilesJob::Cancelled() const { return stop_.stop_requested(); }

EncryptSummary EncryptFilesJob::Run(const std::vector<EncryptItem>& items,
                                    const std::string& containerPath,
                                    std::span<const uint8_t> key) {
    if (items.empty() || containerPath.empty())
        throw SealError(msg::kCheckNamesAndPassword, {}, "nothing to encrypt");
    if (key.size() < 32) throw std::invalid_argument("key shorter than 32 bytes");
    // Names are checked before anything is written: a collision refuses the whole run.
    const std::vector<std::variant<Bytes, SealError>> names = StoredNames(items);

    EncryptSummary summary;
    const std::size_t n = items.size();
    observer_.RunStarted(static_cast<int64_t>(n));
    cipher_ = std::make_unique<CbcEnvelope>(key);

    // Neither the container being replaced nor the new one is ever packed into itself.
    std::vector<FileIdentity> leaveOut;
    if (auto existing = IdentityOf(containerPath)) leaveOut.push_back(*existing);
    StagedFile container(containerPath);
    if (struct stat st{}; ::fstat(container.fd(), &st) == 0) {
        leaveOut.push_back({st.st_dev, st.st_ino});
    }
    containerLimit_ = kMaxSize - IndexReserve(n);
    StartPipeline(items, names, std::move(leaveOut));
    RecordWriter writer(container);
    // However the run ends, the workers stop before the container goes.
    struct StopWorkers {
        EncryptFilesJob& job;
        ~StopWorkers() {
            job.batch_ = nullptr;
            job.pipeline_.reset();
        }
    } stopWorkers{*this};

    for (std::size_t i = 0; i < n; ++i) {
        const std::optional<int32_t> size = EncryptFileToContainer(i, items[i], writer);
        ItemOutcome outcome = ItemOutcome::kDone;
        if (!size) {
            ++summary.leftOut;
            outcome = ItemOutcome::kLeftOut;
        } else {
            summary.storedSizes.push_back(*size);
            if (*size == 0) outcome = ItemOutcome::kFailed;
        }
        if (Cancelled()) outcome = ItemOutcome::kCancelled;
        observer_.ItemFinished({static_cast<int64_t>(i), outcome});
        if (Cancelled()) break;
    }
    // Every unit is consumed (or the run was cancelled): stop the workers.
    batch_ = nullptr;
    pipeline_.reset();
    if (Cancelled()) {
        summary.outcome = JobOutcome::kCancelled;
        observer_.RunFinished(summary.outcome);
        return summary;  // the staged container is discarded
    }

    for (int32_t size : summary.storedSizes) summary.failedFiles += size == 0 ? 1 : 0;
    if (summary.failedFiles == static_cast<int>(summary.storedSizes.size())) {
        // Not one entry: an existing container stays as it was.
        throw SealError(msg::kNothingStored, containerPath, "no entry stored");
    }
    writer.Flush();
    container.Append(EncodeIndex(summary.storedSizes));
    summary.containerSize = container.size();
    container.Commit();
    observer_.RunFinished(summary.outcome);
    return summary;
}

void EncryptFilesJob::StartPipeline(const std::vector<EncryptItem>& items,
                                    const std::vector<std::variant<Bytes, SealError>>& names,
                                    std::vector<FileIdentity> leaveOut) {
    reader_ = std::make_unique<EncryptPieceReader>(items, names, openInput_);
    reader_->LeaveOut(std::move(leaveOut));
    const int threads = ResolveThreadCount(threads_);
    codecs_.clear();
    for (int i = 0; i < threads; ++i) codecs_.push_back(std::make_unique<ZlibCodec>());
    batch_ = nullptr;
    OrderedPipeline<EncryptBatch>::Steps steps;
    steps.read = [this](EncryptBatch& batch) { return reader_->NextBatch(batch); };
    steps.work = [this](EncryptBatch& batch, int worker) {
        BuildBatchPlaintext(batch, *codecs_[static_cast<std::size_t>(worker)]);
    };
    steps.cancelled = [this] { return Cancelled(); };
    steps.pump = observer_.Pump();
    // Pieces that are stored take no time, text takes long: three batches per worker keep the
    // workers busy behind a slow one (about 4 MiB each: the pieces and their compressed blocks).
    pipeline_ = std::make_unique<OrderedPipeline<EncryptBatch>>(threads, 3, std::move(steps));
}

EncryptPiece* EncryptFilesJob::NextPieceOf(std::size_t index) {
    for (;;) {
        if (!batch_ || nextInBatch_ == batch_->count) {
            batch_ = pipeline_->Next();
            nextInBatch_ = 0;
            if (!batch_) return nullptr;
        }
        EncryptPiece* piece = &batch_->pieces[nextInBatch_++];
        if (piece->item < index) continue;  // the rest of a file given up on
        if (piece->failure) std::rethrow_exception(piece->failure);
        if (piece->error) throw *piece->error;
        return piece;
    }
}

std::optional<int32_t> EncryptFilesJob::EncryptFileToContainer(std::size_t index,
                                                               const EncryptItem& item,
                                                               RecordWriter& container) {
    const int64_t entryStart = container.size();
    try {
        if (!WriteEntryChunks(index, item, container)) return std::nullopt;
        return static_cast<int32_t>(container.size() - entryStart);
    } catch (const StagedWriteError&) {
        throw;  // the container itself is broken: the run fails and the old one stays
    } catch (const SealError& error) {
        if (error.stringId() == msg::kContainerTooLarge) throw;
        // Chunks already appended must go, or every later entry would start at a wrong place.
        container.TruncateTo(entryStart);
        reader_->Abandon(index);
        observer_.ReportError(item.path, error);
        return 0;
    }
}

bool EncryptFilesJob::WriteEntryChunks(std::size_t index, const EncryptItem& item,
                                       RecordWriter& container) {
    EncryptPiece* piece = NextPieceOf(index);
    if (!piece) return true;
    if (piece->leftOut) return false;
    int64_t chunks = piece->chunks;
    observer_.ItemStarted(item.path, piece->fileSize);
    observer_.ItemProgress(0, chunks);
    for (int64_t c = 0;; ++c) {
        if (c > 0 && !(piece = NextPieceOf(index))) return true;
        chunks = piece->chunks;  // a file read to its end grows as it is read
        Bytes& plain = piece->plain;
        if (c == 0) FillFiller(std::span(plain).first(kFillerSize));
        const bool last = piece->last();
        // Each entry starts a fresh chain; its later chunks continue it.
        cipherBytes_.resize(CbcEnvelope::PaddedLength(plain.size()));
        cipher_->Encrypt(plain, cipherBytes_, c > 0);
        if (Cancelled()) return true;
        AppendRecord(container);
        observer_.BytesDone(static_cast<int64_t>(piece->data.size()));
        observer_.ItemProgress(c + 1, chunks);
        if (last) return true;
    }
}

void EncryptFilesJob::FillFiller(std::span<uint8_t> filler) {
    if (filler_) {
        filler_(filler);
        return;
    }
    if (randomUsed_ + filler.size() > randomPool_.size()) {
        randomPool_.resize(4096);
        FillSecureRandom(randomPool_.data(), randomPool_.size());
        randomUsed_ = 0;
    }
    std::copy_n(randomPool_.begin() + static_cast<std::ptrdiff_t>(randomUsed_), filler.size(),
                filler.begin());
    randomUsed_ += filler.size();
}

void EncryptFilesJob::AppendRecord(RecordWriter& container) {
    const auto cipherLength = static_cast<int64_t>(cipherBytes_.size());
    if (container.size() + kRecordHeaderSize + cipherLength > containerLimit_) {
        throw SealError(msg::kContainerTooLarge, {}, "container would reach 2 GiB");
    }
    uint8_t header[kRecordHeaderSize];
    PutInt32Le(header, static_cast<uint32_t>(cipherLength - 1));
    container.Append(header, cipherBytes_);
}

}  // namespace sealwise
