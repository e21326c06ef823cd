#include "files/jobs/decrypt_container_job.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <stdexcept>

#include "files/format/chunk_zero.h"
#include "files/format/compressed_block.h"
#include "files/format/container_format.h"
#include "files/format/container_key.h"
#include "files/format/container_reader.h"
#include "files/format/entry_name.h"
#include "files/format/entry_probe.h"
#include "files/io/deferred_flush.h"
#include "files/io/output_directory.h"
#include "files/io/staged_file.h"
#include "files/jobs/message_ids.h"
#include "files/pipeline/thread_count.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

DecryptContainerJob::DecryptContainerJob(FileJobObserver& observer, std::stop_token stop)
    : observer_(observer), stop_(std::move(stop)) {}

bool DecryptContainerJob::Cancelled() const { return stop_.stop_requested(); }

DecryptSummary DecryptContainerJob::Run(const std::string& containerPath,
                                        const std::string& outputDirectory,
                                        std::span<const uint8_t> key) {
    if (key.size() < 32) throw std::invalid_argument("key shorter than 32 bytes");
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
    struct stat container {};
    if (::stat(containerPath.c_str(), &container) == 0) {
        containerDevice_ = container.st_dev;
        containerInode_ = container.st_ino;
    }
    OutputDirectory out(outputDirectory);
    flush_ = std::make_unique<DeferredFlush>();
    out.OnDirectoryCreated([this](const SharedFd& dir) {
        if (syncRestored_) flush_->AddDirectory(dir);
    });
    StartPipeline(reader, key);
    // Writing and naming small files overlaps with deciphering and inflating the next
    // entries. With one thread everything happens in order on this one.
    commits_ = std::make_unique<CommitQueue>(ResolveThreadCount(threads_) > 1 ? 2 : 1);
    // However the run ends, the workers stop before the reader goes, and files that are
    // complete are finished. A run that fails or is cancelled removes the directories it
    // made, unless they hold restored files.
    struct StopWorkers {
        DecryptContainerJob& job;
        OutputDirectory& out;
        bool completed = false;
        ~StopWorkers() {
            job.batch_ = nullptr;
            job.pipeline_.reset();
            job.commits_.reset();
            job.summary_ = nullptr;
            if (!completed) out.RemoveCreatedDirectories();
        }
    } stopWorkers{*this, out};

    DecryptSummary summary;
    summary_ = &summary;
    const int64_t n = reader.recordCount();
    summary.entries = static_cast<int>(n);
    summary.emptyRecords = static_cast<int>(reader.emptyRecordCount());
    observer_.RunStarted(n);
    // Records of size 0 own no bytes; only the entries with bytes are visited, so that a run
    // over millions of empty records costs nothing per record.
    EntryCursor entries = reader.Entries();
    for (EntryExtent extent; entries.Next(extent);) {
        const auto index = static_cast<std::size_t>(extent.number);
        const EntryResult result = DecryptEntry(out, extent, index);
        records_->Abandon(index);  // whatever of it is left unread is not needed
        ItemOutcome outcome = ItemOutcome::kDone;
        switch (result) {
            case EntryResult::kCommitting:
                break;
            case EntryResult::kSkipped:
                ++summary.skipped;
                outcome = ItemOutcome::kSkipped;
                break;
            case EntryResult::kFailed:
                ++summary.failed;
                outcome = ItemOutcome::kFailed;
                break;
            case EntryResult::kCancelled:
                summary.outcome = JobOutcome::kCancelled;
                outcome = ItemOutcome::kCancelled;
                break;
        }
        ReportCommits(false);
        observer_.ItemFinished({extent.number, outcome});
        if (summary.outcome == JobOutcome::kCancelled || Cancelled()) {
            summary.outcome = JobOutcome::kCancelled;
            break;
        }
    }
    ReportCommits(true);
    // Restored files reach the disk before the run reports its outcome.
    if (syncRestored_) flush_->Flush(out.path());
    stopWorkers.completed = summary.outcome == JobOutcome::kCompleted;
    observer_.RunFinished(summary.outcome);
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
        workers_.push_back(std::make_unique<WorkerState>(key));
    }
    ownState_ = std::make_unique<WorkerState>(key);
    records_ = std::make_unique<DecryptRecordReader>(reader);
    batch_ = nullptr;
    OrderedPipeline<DecryptBatch>::Steps steps;
    steps.read = [this](DecryptBatch& batch) { return records_->NextBatch(batch); };
    steps.work = [this](DecryptBatch& batch, int worker) {
        WorkerState& state = *workers_[static_cast<std::size_t>(worker)];
        OpenBatch(batch, state.cipher, state.codec);
    };
    steps.cancelled = [this] { return Cancelled(); };
    steps.pump = observer_.Pump();
    // Batches take about the same time each; two per worker (about 6 MiB each: cipher bytes,
    // plaintext, inflated pieces) keep the workers busy.
    pipeline_ = std::make_unique<OrderedPipeline<DecryptBatch>>(threads, 2, std::move(steps));
}

DecryptRecord* DecryptContainerJob::NextRecordOf(std::size_t index) {
    for (;;) {
        if (!batch_ || nextInBatch_ == batch_->count) {
            batch_ = pipeline_->Next();
            nextInBatch_ = 0;
            if (!batch_) return nullptr;
        }
        DecryptRecord* record = &batch_->records[nextInBatch_++];
        if (record->entry < index) continue;
        if (record->failure) std::rethrow_exception(record->failure);
        if (!record->opened) OpenRecord(*record, ownState_->cipher, ownState_->codec);
        return record;
    }
}

DecryptContainerJob::EntryResult DecryptContainerJob::DecryptEntry(OutputDirectory& out,
                                                                   const EntryExtent& extent,
                                                                   std::size_t index) {
    observer_.ItemProgress(0, extent.size);
    const std::string number = std::to_string(index + 1);
    DecryptRecord* record = NextRecordOf(index);
    if (!record) return EntryResult::kCancelled;
    const int64_t recordSize = record->recordSize;
    if (recordSize == 0) return Damaged(number, msg::kDamagedEntryNumber, number);
    if (Cancelled()) return EntryResult::kCancelled;
    if (!record->deciphered) return Damaged(number, msg::kDamagedEntryNumber, number);
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
    // Only now that the key has shown to be right: a wrong one leaves no directory behind.
    out.EnsureExists();
    // An earlier entry of the same name, or one named like a directory above this one, must be
    // in place before this one looks for it (a file there is an error, not a directory to make).
    if (commits_->Pending(display)) ReportCommits(true);
    try {
        Target target = OpenTarget(out, name.components, display);
        if (!target.file) return EntryResult::kSkipped;
        // The record is given back at the next NextRecordOf: take what is needed of it now.
        const auto nameBytes = static_cast<int64_t>(chunk->name.size());
        if (!chunk->emptyFile) {
            // A file in one record is written by the commit queue, beside this thread (its
            // data is bounded there); longer ones are written here, piece by piece.
            if (record->last) {
                if (!PieceFits(*record, nameBytes, 0)) {
                    return Damaged(display, msg::kDamagedEntry, display);
                }
                target.data = std::move(record->piece);
                observer_.BytesDone(static_cast<int64_t>(target.data.size()));
            } else if (!AppendPiece(*record, nameBytes, *target.file)) {
                return Damaged(display, msg::kDamagedEntry, display);
            }
        }
        observer_.ItemProgress(recordSize, extent.size);
        return RestoreData(extent, index, recordSize, nameBytes, display, target);
    } catch (const SealError& error) {
        observer_.ReportError(display, error);
        return EntryResult::kFailed;
    }
}

DecryptContainerJob::EntryResult DecryptContainerJob::RestoreData(
    const EntryExtent& extent, std::size_t index, int64_t consumed, int64_t nameBytes,
    const std::string& display, Target& target) {
    while (consumed < extent.size) {
        const DecryptRecord* record = NextRecordOf(index);
        if (!record) return EntryResult::kCancelled;
        if (record->recordSize == 0) return Damaged(display, msg::kDamagedEntry, display);
        if (Cancelled()) return EntryResult::kCancelled;
        if (!record->deciphered) return Damaged(display, msg::kDamagedEntry, display);
        consumed += record->recordSize;
        if (!AppendPiece(*record, nameBytes, *target.file)) {
            return Damaged(display, msg::kDamagedEntry, display);
        }
        observer_.ItemProgress(consumed, extent.size);
    }
    commits_->Submit(std::move(target.file), std::move(target.data), display, target.path);
    return EntryResult::kCommitting;
}

void DecryptContainerJob::ReportCommits(bool wait) {
    for (CommitQueue::Result& result : commits_->Collect(wait)) {
        const Settled settled = result.unplaced ? SettleTakenName(result)
                                : result.error  ? Settled::kFailed
                                                : Settled::kRestored;
        switch (settled) {
            case Settled::kRestored:
                observer_.ItemRestored(result.path, result.bytes);
                ++summary_->restored;
                break;
            case Settled::kSkipped:
                ++summary_->skipped;
                break;
            case Settled::kFailed:
                observer_.ReportError(result.display, *result.error);
                ++summary_->failed;
                break;
        }
    }
}

DecryptContainerJob::Settled DecryptContainerJob::SettleTakenName(CommitQueue::Result& result) {
    std::unique_ptr<StagedFile> file = std::move(result.unplaced);
    // Each round looks at what has the name now; a name taken again and again gives up.
    for (int round = 0; round < 10; ++round) {
        try {
            const Leaf found = InspectLeaf(file->dir()->get(), file->finalName());
            if (found.state == LeafState::kDirectory) throw SystemError(EISDIR, result.path);
            if (IsContainer(found)) {
                throw SealError(msg::kContainerNotReplaced, result.path, "is the container");
            }
            if (found.state == LeafState::kFile) {
                const OverwriteAnswer answer = observer_.AskOverwrite(result.path);
                if (answer.choice == OverwriteChoice::kSkip ||
                    (answer.choice == OverwriteChoice::kRename && answer.newPath.empty())) {
                    return Settled::kSkipped;
                }
                if (answer.choice == OverwriteChoice::kOverwrite) {
                    file->SetPlacement(Placement::kReplace);
                } else {
                    const auto slash = answer.newPath.find_last_of('/');
                    const std::string parent = slash == std::string::npos ? "."
                                               : slash == 0               ? "/"
                                                            : answer.newPath.substr(0, slash);
                    const int dir = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                    if (dir < 0) throw SystemErrorAt(errno, parent);
                    file->Retarget(std::make_shared<const UniqueFd>(dir),
                                   answer.newPath.substr(slash + 1));
                    file->SetPlacement(Placement::kFreeName);
                    result.path = answer.newPath;
                }
            }
            file->Commit();
            return Settled::kRestored;
        } catch (const NameTakenError&) {
            continue;
        } catch (const SealError& error) {
            result.error = error;
            return Settled::kFailed;
        }
    }
    result.error = SystemError(EEXIST, result.path);
    return Settled::kFailed;
}

bool DecryptContainerJob::IsContainer(const Leaf& leaf) const {
    return leaf.state == LeafState::kFile && containerInode_ != 0 &&
           leaf.device == containerDevice_ && leaf.inode == containerInode_;
}

std::unique_ptr<StagedFile> DecryptContainerJob::Staged(std::unique_ptr<StagedFile> file,
                                                        const std::string& display) const {
    file->SetFlushMode(syncRestored_ ? FlushMode::kDeferred : FlushMode::kNone, flush_.get());
    if (containerInode_ != 0) file->ProtectFile(containerDevice_, containerInode_, display);
    return file;
}

DecryptContainerJob::Target DecryptContainerJob::OpenTarget(
    OutputDirectory& out, const std::vector<std::string>& components, const std::string& display) {
    const OutputDirectory::Parent parent = out.OpenParent(components);
    const std::string& leaf = components.back();
    const auto staged = [&](Placement placement) {
        return Staged(std::make_unique<StagedFile>(parent.dir, leaf, placement), display);
    };
    // In a directory this run made, only this run's files can have the name; one made by
    // someone else meanwhile, or an entry named twice, shows up when the file is named.
    if (parent.createdByRun) return {staged(Placement::kFreeName), display, {}};
    const Leaf found = InspectLeaf(parent.dir->get(), leaf);
    switch (found.state) {
        case LeafState::kMissing:
            return {staged(Placement::kFreeName), display, {}};
        case LeafState::kDirectory:
            throw SystemError(EISDIR, display);
        case LeafState::kFile:
            break;
    }
    if (IsContainer(found)) {
        throw SealError(msg::kContainerNotReplaced, display, "is the container");
    }
    const OverwriteAnswer answer = observer_.AskOverwrite(display);
    if (answer.choice == OverwriteChoice::kSkip) return {};
    if (answer.choice == OverwriteChoice::kRename) {
        if (answer.newPath.empty()) return {};
        return {Staged(std::make_unique<StagedFile>(answer.newPath, Placement::kFreeName),
                       answer.newPath),
                answer.newPath,
                {}};
    }
    return {staged(Placement::kReplace), display, {}};
}

bool DecryptContainerJob::PieceFits(const DecryptRecord& record, int64_t nameBytes,
                                    int64_t fileSize) const {
    const int64_t fullPiece = PieceLength(record.chunk, nameBytes, kMaxSize);
    const auto size = static_cast<int64_t>(record.piece.size());
    if (record.status != BlockStatus::kInflated) return false;
    if (size > fullPiece) return false;
    // Only the last chunk may carry less than a full piece, or later data would land at the
    // wrong offset.
    if (!record.last && size != fullPiece) return false;
    return fileSize + size <= kMaxSize;
}

bool DecryptContainerJob::AppendPiece(const DecryptRecord& record, int64_t nameBytes,
                                      StagedFile& file) {
    if (!PieceFits(record, nameBytes, file.size())) return false;
    const Bytes& piece = record.piece;
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
