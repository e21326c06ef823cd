#include "files/decrypt_container_job.h"

#include <cerrno>
#include <cmath>
#include <stdexcept>

#include "files/chunk_zero.h"
#include "files/compressed_block.h"
#include "files/container_format.h"
#include "files/container_reader.h"
#include "files/entry_name.h"
#include "files/message_ids.h"
#include "files/output_directory.h"
#include "files/staged_file.h"
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
    cipher_.setPumpHook(observer_.Pump());
    {
        MaybeBytes keyCopy = Bytes(key.begin(), key.begin() + 32);
        cipher_.EncryptPrepareKey(keyCopy);
        SecureWipe(*keyCopy);
    }
    const ContainerReader reader(containerPath);
    const OutputDirectory out(outputDirectory);

    DecryptSummary summary;
    const auto& entries = reader.entries();
    const auto n = static_cast<int64_t>(entries.size());
    summary.entries = static_cast<int>(n);
    if (n == 1) observer_.ShowRunProgress(false);
    if (ProgressSink* bar = observer_.RunProgress()) {
        bar->SetMax(static_cast<int32_t>(n));
        bar->SetMin(0);
        bar->SetPosition(0);
    }
    for (int64_t e = 0; e < n; ++e) {
        if (entries[e].size == 0) {
            ++summary.emptyRecords;  // no bytes of its own: the next entry starts right here
        } else {
            switch (DecryptEntry(reader, out, entries[e], static_cast<std::size_t>(e), n == 1)) {
                case EntryResult::kRestored:
                    ++summary.restored;
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
        }
        if (ProgressSink* bar = observer_.RunProgress()) {
            bar->SetPosition(static_cast<int32_t>(e + 1));
        }
        if (n >= 2) {
            UpdateLamps(lamps_, e, n - 1);
            observer_.SetLamps(lamps_);
        }
        if (summary.outcome == JobOutcome::kCancelled || Cancelled()) {
            summary.outcome = JobOutcome::kCancelled;
            break;
        }
    }
    if (n == 1) observer_.ShowRunProgress(true);
    if (summary.outcome == JobOutcome::kCompleted) observer_.SetLamps(lamps_ = kLampsAtEnd);
    return summary;
}

DecryptContainerJob::EntryResult DecryptContainerJob::DecryptEntry(const ContainerReader& reader,
                                                                   const OutputDirectory& out,
                                                                   const EntryExtent& extent,
                                                                   std::size_t index,
                                                                   bool lampFlag) {
    if (ProgressSink* bar = observer_.ItemProgress()) {
        bar->SetMax(1000);
        bar->SetMin(0);
        bar->SetPosition(0);
    }
    const std::string number = std::to_string(index + 1);
    const int64_t recordSize =
        reader.ReadRecord(extent.start, extent.start + extent.size, cipherBytes_);
    if (recordSize == 0) return Damaged(number, msg::kDamagedEntryNumber, number);
    if (!cipher_.DecryptChunk(cipherBytes_, false, plain_) || Cancelled()) {
        return EntryResult::kCancelled;
    }
    const auto chunk = ParseChunkZero(plain_, true, recordSize == extent.size);
    if (!chunk) {
        // Until one entry has made sense, garbage here means the passphrase is wrong.
        if (!keyVerified_)
            throw SealError(msg::kWrongPassword, {}, "first chunk does not decipher");
        return Damaged(number, msg::kDamagedEntryNumber, number);
    }
    keyVerified_ = true;

    const DecodedEntryName name = DecodeEntryName(chunk->name);
    if (!name.safe()) {
        const std::string shown = PrintableName(name.text);
        observer_.ReportError(shown, SealError(msg::kUnsafeEntryName, shown, "unsafe entry name"));
        return EntryResult::kFailed;
    }
    const std::string display = out.DisplayPath(name.components);
    observer_.ItemStarted(display, -1);
    try {
        Target target = OpenTarget(out, name.components, display);
        if (!target.file) return EntryResult::kSkipped;
        if (!chunk->emptyFile &&
            !AppendPiece(chunk->block, 0, static_cast<int64_t>(chunk->name.size()),
                         recordSize == extent.size, *target.file)) {
            return Damaged(display, msg::kDamagedEntry, display);
        }
        if (lampFlag) {
            UpdateLamps(lamps_, recordSize, extent.size);
            observer_.SetLamps(lamps_);
        }
        return RestoreData(reader, extent, recordSize, static_cast<int64_t>(chunk->name.size()),
                           display, target, lampFlag);
    } catch (const SealError& error) {
        observer_.ReportError(display, error);
        return EntryResult::kFailed;
    }
}

DecryptContainerJob::EntryResult DecryptContainerJob::RestoreData(
    const ContainerReader& reader, const EntryExtent& extent, int64_t consumed, int64_t nameBytes,
    const std::string& display, Target& target, bool lampFlag) {
    const int64_t end = extent.start + extent.size;
    ProgressSink* bar = observer_.ItemProgress();
    for (int64_t chunk = 1; consumed < extent.size; ++chunk) {
        if (bar) {
            bar->SetPosition(static_cast<int32_t>(
                std::lround(1000.0 * static_cast<double>(consumed) / extent.size)));
        }
        const int64_t recordSize = reader.ReadRecord(extent.start + consumed, end, cipherBytes_);
        if (recordSize == 0) return Damaged(display, msg::kDamagedEntry, display);
        if (!cipher_.DecryptChunk(cipherBytes_, true, plain_) || Cancelled()) {
            return EntryResult::kCancelled;
        }
        consumed += recordSize;
        if (!AppendPiece(plain_, chunk, nameBytes, consumed == extent.size, *target.file)) {
            return Damaged(display, msg::kDamagedEntry, display);
        }
        if (lampFlag) {
            UpdateLamps(lamps_, consumed, extent.size);
            observer_.SetLamps(lamps_);
        }
    }
    if (bar) bar->SetPosition(1000);
    const int64_t bytes = target.file->size();
    target.file->Commit();
    observer_.ItemRestored(target.path, bytes);
    return EntryResult::kRestored;
}

DecryptContainerJob::Target DecryptContainerJob::OpenTarget(
    const OutputDirectory& out, const std::vector<std::string>& components,
    const std::string& display) {
    const UniqueFd parent = out.OpenParent(components);
    const std::string& leaf = components.back();
    switch (InspectLeaf(parent.get(), leaf)) {
        case LeafState::kMissing:
            break;
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

bool DecryptContainerJob::AppendPiece(std::span<const uint8_t> block, int64_t chunk,
                                      int64_t nameBytes, bool lastChunk, StagedFile& file) {
    const int64_t fullPiece = PieceLength(chunk, nameBytes, kMaxSize);
    if (DecompressBlock(block, codec_, fullPiece, piece_) != BlockStatus::kInflated) return false;
    // Only the last chunk may carry less than a full piece, or later data would land at the
    // wrong offset.
    if (!lastChunk && static_cast<int64_t>(piece_.size()) != fullPiece) return false;
    if (file.size() + static_cast<int64_t>(piece_.size()) > kMaxSize) return false;
    file.Append(piece_);
    observer_.BytesDone(static_cast<int64_t>(piece_.size()));
    return true;
}

DecryptContainerJob::EntryResult DecryptContainerJob::Damaged(const std::string& item, int stringId,
                                                              const std::string& argument) {
    observer_.ReportError(item, SealError(stringId, argument, "damaged entry"));
    return EntryResult::kFailed;
}

}  // namespace sealwise
