#include "files/decrypt_container_job.h"

#include <cerrno>
#include <cmath>
#include <stdexcept>

#include "files/chunk_zero.h"
#include "files/compressed_block.h"
#include "files/container_format.h"
#include "files/container_key.h"
#include "files/container_reader.h"
#include "files/entry_name.h"
#include "files/entry_probe.h"
#include "files/message_ids.h"
#include "files/output_directory.h"
#include "files/staged_file.h"
#include "files/thread_count.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

DecryptContainerJob::DecryptContainerJob(FileJobObserver& observer,
                                         const std::atomic<bool>* cancelRequested)
    : observer_(observer), cancelRequested_(cancelRequested) {}

bool DecryptContainerJob::Cancelled() const {
    return cipher_.doCancel() || (cancelRequested_ && cancelRequested_->load());
}

DecryptSummary DecryptContainerJob::Run(const std::string& containerPath,
                                        const std::string& outputDirectory,
                                        std::span<const uint8_t> key) {
    if (key.size() < 32) throw std::invalid_argument("key shorter than 32 bytes");
    observer_.SetLamps(lamps_ = kLampsAtStart);
    toFlush_.clear();
    cipher_.setPumpHook(observer_.Pump());
    const ContainerReader reader(containerPath);
    // The format has no check value: a key is right when the first chunk of some entry makes
    // sense with it. Entries that do not are damaged, each on its own.
    if (CheckContainerKey(reader, key) == KeyVerdict::kWrong)
        throw SealError(msg::kWrongPassword, {}, "no entry's first chunk makes sense");
    if (reader.unaccountedBytes() > 0) {
        observer_.ReportNotice(
            containerPath,
            SealError(msg::kUnaccountedBytes, std::to_string(reader.unaccountedBytes()),
                      "bytes between the last entry and the index"));
    }
    const OutputDirectory out(outputDirectory);
    StartPipeline(reader, key);
    // Flushing restored files is waiting, not computing: several flushes at once pay off
    // even on one core. With one thread everything happens in order on this one.
    commits_ = std::make_unique<CommitQueue>(ResolveThreadCount(threads_) > 1 ? 4 : 1);
    // However the run ends, the workers stop before the reader goes, and files that are
    // complete are finished.
    struct StopWorkers {
        DecryptContainerJob& job;
        ~StopWorkers() {
            job.pipeline_.reset();
            job.commits_.reset();
            job.summary_ = nullptr;
        }
    } stopWorkers{*this};

    DecryptSummary summary;
    summary_ = &summary;
    const int64_t n = reader.recordCount();
    summary.entries = static_cast<int>(n);
    summary.emptyRecords = static_cast<int>(reader.emptyRecordCount());
    if (n == 1) observer_.ShowRunProgress(false);
    if (ProgressSink* bar = observer_.RunProgress()) {
        bar->SetMax(static_cast<int32_t>(n));
        bar->SetMin(0);
        bar->SetPosition(0);
    }
    // Records of size 0 own no bytes; only the entries with bytes are visited, so that a run
    // over millions of empty records costs nothing per record.
    EntryCursor entries = reader.Entries();
    for (EntryExtent extent; entries.Next(extent);) {
        const auto index = static_cast<std::size_t>(extent.number);
        const EntryResult result = DecryptEntry(out, extent, index, n == 1);
        records_->Abandon(index);  // whatever of it is left unread is not needed
        switch (result) {
            case EntryResult::kCommitting:
                break;
            case EntryResult::kSkipped:
                ++summary.skipped;
                break;
            case EntryResult::kFailed:
                ++summary.failed;
                break;
            case EntryResult::kCancelled:
                summary.outcome = JobOutcome::kCancelled;
                break;
        }
        ReportCommits(false);
        if (ProgressSink* bar = observer_.RunProgress()) {
            bar->SetPosition(static_cast<int32_t>(extent.number + 1));
        }
        if (n >= 2) {
            UpdateLamps(lamps_, extent.number, n - 1);
            observer_.SetLamps(lamps_);
        }
        if (summary.outcome == JobOutcome::kCancelled || Cancelled()) {
            summary.outcome = JobOutcome::kCancelled;
            break;
        }
    }
    if (summary.outcome == JobOutcome::kCompleted) {
        if (ProgressSink* bar = observer_.RunProgress()) bar->SetPosition(static_cast<int32_t>(n));
    }
    ReportCommits(true);
    // Files restored under free names reach the disk before the run reports its outcome.
    FlushCommittedFiles(toFlush_);
    toFlush_.clear();
    if (n == 1) observer_.ShowRunProgress(true);
    if (summary.outcome == JobOutcome::kCompleted) observer_.SetLamps(lamps_ = kLampsAtEnd);
    return summary;
}

DecryptSummary DecryptContainerJob::Run(const std::string& containerPath,
                                        const std::string& outputDirectory,
                                        const std::vector<Bytes>& candidateKeys) {
    return Run(containerPath, outputDirectory, ChooseContainerKey(containerPath, candidateKeys));
}

void DecryptContainerJob::StartPipeline(const ContainerReader& reader,
                                        std::span<const uint8_t> key) {
    const int threads = ResolveThreadCount(threads_);
    workers_.clear();
    for (int i = 0; i < threads; ++i) {
        auto state = std::make_unique<WorkerState>();
        MaybeBytes keyCopy = Bytes(key.begin(), key.begin() + 32);
        state->cipher.EncryptPrepareKey(keyCopy);
        SecureWipe(*keyCopy);
        workers_.push_back(std::move(state));
    }
    records_ = std::make_unique<DecryptRecordReader>(reader);
    OrderedPipeline<DecryptRecord>::Steps steps;
    steps.read = [this](DecryptRecord& record) { return records_->Next(record); };
    steps.work = [this](DecryptRecord& record, int worker) {
        WorkerState& state = *workers_[static_cast<std::size_t>(worker)];
        OpenRecord(record, state.cipher, state.codec);
    };
    steps.cancelled = [this] { return Cancelled(); };
    steps.pump = observer_.Pump();
    // Records take about the same time each; two per worker (about 6 MiB each: cipher bytes,
    // plaintext, inflated piece) keep the workers busy.
    pipeline_ = std::make_unique<OrderedPipeline<DecryptRecord>>(threads, 2, std::move(steps));
}

DecryptRecord* DecryptContainerJob::NextRecordOf(std::size_t index) {
    for (;;) {
        DecryptRecord* record = pipeline_->Next();
        if (!record) return nullptr;
        if (record->entry < index) continue;
        if (record->failure) std::rethrow_exception(record->failure);
        return record;
    }
}

DecryptContainerJob::EntryResult DecryptContainerJob::DecryptEntry(const OutputDirectory& out,
                                                                   const EntryExtent& extent,
                                                                   std::size_t index,
                                                                   bool lampFlag) {
    if (ProgressSink* bar = observer_.ItemProgress()) {
        bar->SetMax(1000);
        bar->SetMin(0);
        bar->SetPosition(0);
    }
    const std::string number = std::to_string(index + 1);
    const DecryptRecord* record = NextRecordOf(index);
    if (!record) return EntryResult::kCancelled;
    const int64_t recordSize = record->recordSize;
    if (recordSize == 0) return Damaged(number, msg::kDamagedEntryNumber, number);
    if (!record->deciphered) cipher_.setDoCancel(true);  // as the cipher does for a bad length
    if (Cancelled()) return EntryResult::kCancelled;
    const auto& chunk = record->chunkZero;
    // Another entry has shown that the key is right: this one is damaged.
    if (!chunk) return Damaged(number, msg::kDamagedEntryNumber, number);

    const DecodedEntryName name = DecodeEntryName(chunk->name);
    if (!name.safe()) {
        const std::string shown = PrintableName(name.text);
        observer_.ReportError(shown, SealError(msg::kUnsafeEntryName, shown, "unsafe entry name"));
        return EntryResult::kFailed;
    }
    const std::string display = out.DisplayPath(name.components);
    observer_.ItemStarted(display, -1);
    // An earlier entry of the same name, or one named like a directory above this one, must be
    // in place before this one looks for it (a file there is an error, not a directory to make).
    if (commits_->Pending(display)) ReportCommits(true);
    try {
        Target target = OpenTarget(out, name.components, display);
        if (!target.file) return EntryResult::kSkipped;
        // The record is given back at the next NextRecordOf: take what is needed of it now.
        const auto nameBytes = static_cast<int64_t>(chunk->name.size());
        if (!chunk->emptyFile && !AppendPiece(*record, nameBytes, *target.file)) {
            return Damaged(display, msg::kDamagedEntry, display);
        }
        if (lampFlag) {
            UpdateLamps(lamps_, recordSize, extent.size);
            observer_.SetLamps(lamps_);
        }
        return RestoreData(extent, index, recordSize, nameBytes, display, target, lampFlag);
    } catch (const SealError& error) {
        observer_.ReportError(display, error);
        return EntryResult::kFailed;
    }
}

DecryptContainerJob::EntryResult DecryptContainerJob::RestoreData(
    const EntryExtent& extent, std::size_t index, int64_t consumed, int64_t nameBytes,
    const std::string& display, Target& target, bool lampFlag) {
    ProgressSink* bar = observer_.ItemProgress();
    while (consumed < extent.size) {
        if (bar) {
            bar->SetPosition(static_cast<int32_t>(
                std::lround(1000.0 * static_cast<double>(consumed) / extent.size)));
        }
        const DecryptRecord* record = NextRecordOf(index);
        if (!record) return EntryResult::kCancelled;
        if (record->recordSize == 0) return Damaged(display, msg::kDamagedEntry, display);
        if (!record->deciphered) cipher_.setDoCancel(true);
        if (Cancelled()) return EntryResult::kCancelled;
        consumed += record->recordSize;
        if (!AppendPiece(*record, nameBytes, *target.file)) {
            return Damaged(display, msg::kDamagedEntry, display);
        }
        if (lampFlag) {
            UpdateLamps(lamps_, consumed, extent.size);
            observer_.SetLamps(lamps_);
        }
    }
    if (bar) bar->SetPosition(1000);
    const int64_t bytes = target.file->size();
    commits_->Submit(std::move(target.file), display, target.path, bytes);
    return EntryResult::kCommitting;
}

void DecryptContainerJob::ReportCommits(bool wait) {
    for (const CommitQueue::Result& result : commits_->Collect(wait)) {
        if (result.error) {
            observer_.ReportError(result.display, *result.error);
            ++summary_->failed;
        } else {
            observer_.ItemRestored(result.path, result.bytes);
            if (result.flushPending) toFlush_.push_back(result.path);
            ++summary_->restored;
        }
    }
}

DecryptContainerJob::Target DecryptContainerJob::OpenTarget(
    const OutputDirectory& out, const std::vector<std::string>& components,
    const std::string& display) {
    const UniqueFd parent = out.OpenParent(components);
    const std::string& leaf = components.back();
    switch (InspectLeaf(parent.get(), leaf)) {
        case LeafState::kMissing: {
            // A free name: a crash before the run ends loses nothing the user had, so the
            // file is flushed with all the others at the end instead of on its own.
            auto file = std::make_unique<StagedFile>(parent.get(), leaf);
            file->SetFlushOnCommit(false);
            return {std::move(file), display};
        }
        case LeafState::kDirectory:
            throw SystemError(EISDIR, display);
        case LeafState::kFile: {
            const OverwriteAnswer answer = observer_.AskOverwrite(display);
            if (answer.choice == OverwriteChoice::kSkip) return {};
            if (answer.choice == OverwriteChoice::kRename) {
                if (answer.newPath.empty()) return {};
                return {std::make_unique<StagedFile>(answer.newPath), answer.newPath};
            }
            break;
        }
    }
    return {std::make_unique<StagedFile>(parent.get(), leaf), display};
}

bool DecryptContainerJob::AppendPiece(const DecryptRecord& record, int64_t nameBytes,
                                      StagedFile& file) {
    const int64_t fullPiece = PieceLength(record.chunk, nameBytes, kMaxSize);
    const Bytes& piece = record.piece;
    if (record.status != BlockStatus::kInflated) return false;
    if (static_cast<int64_t>(piece.size()) > fullPiece) return false;
    // Only the last chunk may carry less than a full piece, or later data would land at the
    // wrong offset.
    if (!record.last && static_cast<int64_t>(piece.size()) != fullPiece) return false;
    if (file.size() + static_cast<int64_t>(piece.size()) > kMaxSize) return false;
    file.Append(piece);
    observer_.BytesDone(static_cast<int64_t>(piece.size()));
    return true;
}

DecryptContainerJob::EntryResult DecryptContainerJob::Damaged(const std::string& item, int stringId,
                                                              const std::string& argument) {
    observer_.ReportError(item, SealError(stringId, argument, "damaged entry"));
    return EntryResult::kFailed;
}

}  // namespace sealwise
