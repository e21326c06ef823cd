#pragma once
// One unit of work of the encrypt pipeline: a piece of one input file, read in order on the
// job's thread, made into its chunk plaintext by a worker, and enciphered and appended by the
// job's thread again. A unit can also carry a failure met while opening or reading the file.
#include <cstdint>
#include <exception>
#include <optional>
#include <variant>
#include <vector>

#include "files/format/zlib_codec.h"
#include "files/io/input_source.h"
#include "files/jobs/encrypt_item.h"
#include "util/bytes.h"
#include "util/errors.h"

namespace sealwise {

struct EncryptPiece {
    std::size_t item = 0;  // position in the list
    int64_t chunk = 0;     // (item, chunk) orders the units
    int64_t chunks = 0;    // of the item; 0 when it failed before it started. For a file read
                           // to its end, the chunks known so far (one more while more follow).
    int64_t fileSize = 0;  // for a file read to its end: the bytes read so far
    bool leftOut = false;  // the item is the container being written: no entry at all
    Bytes name;            // entry name bytes (chunk 0)
    Bytes data;            // the file bytes of this chunk
    Bytes plain;  // chunk plaintext; its 32 filler bytes are left for the job's thread to fill
    std::optional<SealError> error;  // the file failed here: report, skip the rest of it
    std::exception_ptr failure;      // something unexpected: the whole run fails

    bool last() const { return error || failure || leftOut || chunk + 1 == chunks; }
};

// Consecutive pieces handed to a worker together: a tree of small files would otherwise cost
// two thread hand-offs per file. A batch ends once it holds kMaxDataBytes of file data, so a
// large piece only ever comes last.
struct EncryptBatch {
    static constexpr std::size_t kMaxPieces = 16;
    static constexpr std::size_t kMaxDataBytes = 256 << 10;
    // Pieces past the first keep at most this much memory each between uses; the first keeps
    // the largest buffers.
    static constexpr std::size_t kKeptBytes = 64 << 10;

    std::vector<EncryptPiece> pieces;  // the first count are the batch's
    std::size_t count = 0;
};

// Reads the files of a run piece by piece, in list order and without gaps.
class EncryptPieceReader {
  public:
    // names: the stored name of each item, or the failure that keeps it out (stored_names.h).
    EncryptPieceReader(const std::vector<EncryptItem>& items,
                       const std::vector<std::variant<Bytes, SealError>>& names,
                       const InputOpener& opener)
        : items_(items), names_(names), opener_(opener) {}

    // Files with one of these identities get no entry (the container being written).
    void LeaveOut(std::vector<FileIdentity> identities) { leaveOut_ = std::move(identities); }

    // Fills piece with the next unit; false when all files are read.
    bool Next(EncryptPiece& piece);
    // Fills batch with the next units (see EncryptBatch); false when all files are read.
    bool NextBatch(EncryptBatch& batch);
    // Stops reading the given item (the job gave up on it).
    void Abandon(std::size_t item);

  private:
    void Start(EncryptPiece& piece);
    void ReadChunk(EncryptPiece& piece);
    void ReadToEnd(EncryptPiece& piece);
    void Close() {
        input_.reset();
        ++item_;
    }

    const std::vector<EncryptItem>& items_;
    const std::vector<std::variant<Bytes, SealError>>& names_;
    const InputOpener& opener_;
    std::vector<FileIdentity> leaveOut_;
    std::size_t item_ = 0;
    std::unique_ptr<InputSource> input_;  // null between files
    const Bytes* name_ = nullptr;
    int64_t chunk_ = 0, chunks_ = 0, fileSize_ = 0;
    bool toEnd_ = false;            // the size is unknown: read until the end of the file
    std::optional<uint8_t> carry_;  // read ahead to learn whether the file goes on
};

// The worker's part: builds piece.plain (header and name for chunk 0, compressed block).
void BuildChunkPlaintext(EncryptPiece& piece, ZlibCodec& codec);
// The same for every piece of a batch.
void BuildBatchPlaintext(EncryptBatch& batch, ZlibCodec& codec);

}  // namespace sealwise
