#pragma once
// The entries of a modern container of files, one after the other with the pieces of their
// data, as restore, list and verify read them. Every failure is a StreamDamaged.
//
// The messages are opened (and so authenticated) in the stream's order on the caller's thread;
// with threads to spare, the pieces they hold are decompressed by worker threads a few pieces
// ahead of the caller, and handed out in order again (pipeline_shape.h). Damage found ahead is
// reported only where the caller reaches it, so everything before it is handled exactly as if it
// had been read one by one.
#include <cstdint>
#include <exception>
#include <optional>
#include <stop_token>
#include <vector>

#include "app/progress.h"
#include "files/pipeline/ordered_pipeline.h"
#include "modern/pipeline_shape.h"
#include "modern/records.h"
#include "modern/sealed_stream.h"

namespace sealwise::modern {

// Thrown by EntryStream when the stop token given to it was requested.
struct EntryStreamStopped {};

class EntryStream {
  public:
    // threads: 0 for the default count (pipeline_shape.h). pump is called while waiting.
    explicit EntryStream(SealedReader& reader, std::stop_token stop = {}, int threads = 0,
                         PumpHook* pump = nullptr);

    // The next entry; nullopt after the last, once the end record and the final tag are
    // checked. The data of the previous entry must have been read to its end.
    std::optional<EntryMeta> NextEntry();
    // The next piece of the current file's data; false when its data is complete. The piece
    // stays valid until the next call.
    bool NextPiece(std::span<const uint8_t>& piece);
    // Reads (and so checks) the rest of the current file's data, keeping none of it.
    void SkipData();

    uint64_t entriesRead() const noexcept { return entries_; }

  private:
    struct Unit {
        Bytes record;
        Bytes buffer;                    // a data record's piece, decompressed by a worker
        std::span<const uint8_t> piece;  // in buffer, or in record when stored
        bool final = false;
        bool decoded = false;
        std::exception_ptr damage;  // the stream broke here
    };

    bool Open(Unit& unit);  // the caller's thread: the next message, in order
    const Unit& Take();     // the next unit in order; throws what it holds

    SealedReader& reader_;
    std::stop_token stop_;
    std::exception_ptr failure_;  // once the stream broke, every later read fails the same way
    PipelineShape shape_;
    std::vector<std::unique_ptr<PieceCodec>> codecs_;
    bool opened_all_ = false;
    uint64_t remaining_ = 0;
    uint64_t entries_ = 0;
    OrderedPipeline<Unit> pipeline_;  // last: its workers use the members above
};

}  // namespace sealwise::modern
