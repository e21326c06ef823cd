#include "modern/modern_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "app/msg.h"
#include "files/io/posix_io.h"
#include "files/pipeline/ordered_pipeline.h"
#include "modern/pipeline_shape.h"
#include "modern/records.h"
#include "modern/sealed_stream.h"
#include "modern/tree_walk.h"

namespace sealwise::modern {
namespace {

struct WriteUnit {
    bool isEntry = false;
    std::size_t item = 0;
    Bytes raw;     // a piece of file data
    Bytes record;  // what gets sealed
};

// Consecutive units handed to a worker together: a tree of small files would otherwise cost
// two thread hand-offs per file. A piece as large as a whole batch travels alone, so only the
// first unit of a batch ever holds large buffers; the others keep little room between uses.
struct WriteBatch {
    static constexpr std::size_t kMaxUnits = 16;
    static constexpr std::size_t kMaxDataBytes = 256 << 10;
    static constexpr std::size_t kKeptBytes = 16 << 10;

    std::vector<WriteUnit> units;  // the first count are the batch's
    std::size_t count = 0;
};

// Hands out the entries and the pieces of their files in order (the job's thread).
class PieceReader {
  public:
    PieceReader(const std::vector<TreeItem>& items, FileJobObserver& observer, int& failed)
        : items_(items), observer_(observer), failed_(failed) {}

    // Fills batch with the next units (see WriteBatch); false when all are handed out.
    bool NextBatch(WriteBatch& batch) {
        batch.count = 0;
        std::size_t bytes = 0;
        while (batch.count < WriteBatch::kMaxUnits && bytes < WriteBatch::kMaxDataBytes) {
            if (batch.count > 0 && LargePieceNext()) break;
            if (batch.units.size() == batch.count) batch.units.emplace_back();
            WriteUnit& unit = batch.units[batch.count];
            if (batch.count > 0) {
                for (Bytes* buffer : {&unit.raw, &unit.record}) {
                    if (buffer->capacity() > WriteBatch::kKeptBytes) Bytes().swap(*buffer);
                }
            }
            if (!Next(unit)) break;
            ++batch.count;
            bytes += unit.raw.size();
        }
        return batch.count > 0;
    }

  private:
    bool LargePieceNext() const {
        return file_.valid() &&
               std::min<uint64_t>(remaining_, kPieceSize) >= WriteBatch::kMaxDataBytes;
    }

    bool Next(WriteUnit& unit) {
        if (file_.valid() && remaining_ > 0) return ReadPiece(unit);
        if (file_.valid()) FinishFile();
        while (next_ < items_.size()) {
            const std::size_t index = next_++;
            const TreeItem& item = items_[index];
            if (item.meta.type == EntryType::kFile && !OpenFile(item)) continue;
            unit.isEntry = true;
            unit.item = index;
            unit.raw.clear();
            // Into the unit's own buffer: a piece's buffer freed here would have to be mapped
            // and faulted in again for the next piece.
            EncodeEntryRecord(item.meta, unit.record);
            return true;
        }
        return false;
    }

    bool OpenFile(const TreeItem& item) {
        const int fd = ::open(item.path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            observer_.ReportError(item.path, SystemErrorAt(errno, item.path));
            ++failed_;
            return false;
        }
        file_ = UniqueFd(fd);
        current_ = &item;
        offset_ = 0;
        remaining_ = item.meta.size;
        // Larger read-ahead pays only for files of several pieces.
        if (remaining_ > kPieceSize) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        if (remaining_ == 0) FinishFile();
        return true;
    }

    bool ReadPiece(WriteUnit& unit) {
        const std::size_t n = remaining_ < kPieceSize ? remaining_ : kPieceSize;
        unit.isEntry = false;
        unit.raw.resize(n);
        if (current_->mayHaveHoles && InHole(n)) {
            // A hole of a sparse file reads as zeros: no need to read them.
            std::fill(unit.raw.begin(), unit.raw.end(), 0);
        } else if (ReadAt(file_.get(), static_cast<int64_t>(offset_), unit.raw) != n) {
            Changed();
        }
        offset_ += n;
        remaining_ -= n;
        if (remaining_ == 0) FinishFile();
        return true;
    }

    // Whether the next n bytes lie in a hole (no data before offset + n).
    bool InHole(std::size_t n) const {
        const auto at = static_cast<off_t>(offset_);
        const off_t data = ::lseek(file_.get(), at, SEEK_DATA);
        return data < 0 ? errno == ENXIO : data >= at + static_cast<off_t>(n);
    }

    // The size was promised in the entry already: a file that shrank or grew cannot be stored
    // truthfully any more, so the run fails.
    void FinishFile() {
        struct stat st {};
        const bool same = ::fstat(file_.get(), &st) == 0 &&
                          static_cast<uint64_t>(st.st_size) == current_->meta.size;
        file_.Reset();
        if (!same) Changed();
    }

    [[noreturn]] void Changed() {
        throw SealError(Msg::FileChanged, current_->path, "file changed while being read");
    }

    const std::vector<TreeItem>& items_;
    FileJobObserver& observer_;
    int& failed_;
    std::size_t next_ = 0;
    UniqueFd file_;
    const TreeItem* current_ = nullptr;
    uint64_t offset_ = 0;  // of the next piece
    uint64_t remaining_ = 0;
};

}  // namespace

ModernWriteSummary ModernWriteJob::Run(const std::vector<std::string>& inputs, ByteSink& sink,
                                       std::span<const std::string> keys,
                                       const ModernWriteOptions& options) {
    return Run(NamedAsGiven(inputs), sink, keys, options);
}

ModernWriteSummary ModernWriteJob::Run(const std::vector<NamedInput>& inputs, ByteSink& sink,
                                       std::span<const std::string> keys,
                                       const ModernWriteOptions& options) {
    const TreeWalk walk = WalkNamedInputs(inputs, observer_, options.containerFd);
    ModernWriteSummary summary;
    summary.failed = walk.failed;
    SealedWriter writer(sink, Content::kFiles, keys, options.cost);

    const PipelineShape shape = ModernPipelineShape(options.threads);
    std::vector<std::unique_ptr<PieceCodec>> codecs;
    for (int i = 0; i < shape.workers; ++i) {
        codecs.push_back(std::make_unique<PieceCodec>(options.level));
    }
    PieceReader reader(walk.items, observer_, summary.failed);
    const auto cancelled = [this] { return stop_.stop_requested(); };
    OrderedPipeline<WriteBatch>::Steps steps;
    steps.read = [&reader](WriteBatch& batch) { return reader.NextBatch(batch); };
    steps.work = [&codecs](WriteBatch& batch, int worker) {
        PieceCodec& codec = *codecs[static_cast<std::size_t>(worker)];
        for (std::size_t i = 0; i < batch.count; ++i) {
            WriteUnit& unit = batch.units[i];
            if (!unit.isEntry) codec.Encode(unit.raw, unit.record);
        }
    };
    steps.cancelled = cancelled;
    steps.pump = observer_.Pump();
    OrderedPipeline<WriteBatch> pipeline(shape.workers, shape.unitsPerWorker, std::move(steps));

    while (WriteBatch* batch = pipeline.Next()) {
        for (std::size_t i = 0; i < batch->count; ++i) {
            const WriteUnit& unit = batch->units[i];
            if (unit.isEntry) {
                const TreeItem& item = walk.items[unit.item];
                observer_.ItemStarted(item.path, static_cast<int64_t>(item.meta.size));
                ++summary.entries;
            } else {
                observer_.BytesDone(static_cast<int64_t>(unit.raw.size()));
            }
            writer.Push(unit.record);
        }
    }
    if (cancelled()) {
        summary.outcome = JobOutcome::kCancelled;
        return summary;
    }
    writer.Push(EncodeEndRecord(static_cast<uint64_t>(summary.entries)), true);
    return summary;
}

}  // namespace sealwise::modern
