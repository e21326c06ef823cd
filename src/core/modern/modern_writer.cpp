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

// A piece of a file to be read by the worker that packs it: the job's thread then only opens
// files, seals and writes, which keeps it from holding up the workers where it is the busiest
// (data that is stored as it is).
struct PieceSource {
    SharedFd file;  // null for entries
    const TreeItem* item = nullptr;
    uint64_t offset = 0;
    std::size_t length = 0;
    bool last = false;  // the file's size is checked again after its last piece
};

struct WriteUnit {
    bool isEntry = false;
    std::size_t item = 0;
    PieceSource source;
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

[[noreturn]] void Changed(const TreeItem& item) {
    throw SealError(Msg::FileChanged, item.path, "file changed while being read");
}

// Whether the length bytes at offset lie in a hole (no data before offset + length).
bool InHole(int fd, uint64_t offset, std::size_t length) {
    const auto at = static_cast<off_t>(offset);
    const off_t data = ::lseek(fd, at, SEEK_DATA);
    return data < 0 ? errno == ENXIO : data >= at + static_cast<off_t>(length);
}

// The size was promised in the entry already: a file that shrank or grew cannot be stored
// truthfully any more, so the run fails.
void CheckSizeKept(int fd, const TreeItem& item) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != item.meta.size) {
        Changed(item);
    }
}

// Reads a unit's piece (a worker thread) and lets go of the file once its part is read.
void ReadPiece(WriteUnit& unit) {
    PieceSource& source = unit.source;
    const int fd = source.file->get();
    unit.raw.resize(source.length);
    if (source.item->mayHaveHoles && InHole(fd, source.offset, source.length)) {
        // A hole of a sparse file reads as zeros: no need to read them.
        std::fill(unit.raw.begin(), unit.raw.end(), 0);
    } else if (ReadAt(fd, static_cast<int64_t>(source.offset), unit.raw) != source.length) {
        Changed(*source.item);
    }
    if (source.last) CheckSizeKept(fd, *source.item);
    source.file.reset();
}

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
            bytes += unit.isEntry ? 0 : unit.source.length;
        }
        return batch.count > 0;
    }

  private:
    bool LargePieceNext() const {
        return file_ && std::min<uint64_t>(remaining_, kPieceSize) >= WriteBatch::kMaxDataBytes;
    }

    bool Next(WriteUnit& unit) {
        if (file_) return NextPiece(unit);
        while (next_ < items_.size()) {
            const std::size_t index = next_++;
            const TreeItem& item = items_[index];
            if (item.meta.type == EntryType::kFile && !OpenFile(item)) continue;
            unit.isEntry = true;
            unit.item = index;
            unit.source = {};
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
        UniqueFd file(fd);
        remaining_ = item.meta.size;
        if (remaining_ == 0) {
            CheckSizeKept(fd, item);
            return true;
        }
        // Larger read-ahead pays only for files of several pieces.
        if (remaining_ > kPieceSize) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        file_ = std::make_shared<const UniqueFd>(std::move(file));
        current_ = &item;
        offset_ = 0;
        return true;
    }

    bool NextPiece(WriteUnit& unit) {
        const std::size_t n = remaining_ < kPieceSize ? remaining_ : kPieceSize;
        remaining_ -= n;
        unit.isEntry = false;
        unit.source = {file_, current_, offset_, n, remaining_ == 0};
        offset_ += n;
        if (remaining_ == 0) file_.reset();
        return true;
    }

    const std::vector<TreeItem>& items_;
    FileJobObserver& observer_;
    int& failed_;
    std::size_t next_ = 0;
    SharedFd file_;  // the file whose pieces are being handed out
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
            if (unit.isEntry) continue;
            ReadPiece(unit);
            codec.Encode(unit.raw, unit.record);
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
