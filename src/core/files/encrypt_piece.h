#pragma once
// One unit of work of the encrypt pipeline: a piece of one input file, read in order on the
// job's thread, made into its chunk plaintext by a worker, and enciphered and appended by the
// job's thread again. A unit can also carry a failure met while opening or reading the file.
#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "files/encrypt_item.h"
#include "files/input_source.h"
#include "files/zlib_codec.h"
#include "util/bytes.h"
#include "util/errors.h"

namespace sealwise {

struct EncryptPiece {
    std::size_t item = 0;  // position in the list
    int64_t chunk = 0;     // (item, chunk) orders the units
    int64_t chunks = 0;    // of the item; 0 when it failed before it started
    int64_t fileSize = 0;
    Bytes name;   // entry name bytes (chunk 0)
    Bytes data;   // the file bytes of this chunk
    Bytes plain;  // chunk plaintext; its 32 filler bytes are left for the job's thread to fill
    std::optional<SealError> error;  // the file failed here: report, skip the rest of it
    std::exception_ptr failure;      // something unexpected: the whole run fails

    bool last() const { return error || failure || chunk + 1 == chunks; }
};

// Reads the files of a run piece by piece, in list order and without gaps.
class EncryptPieceReader {
  public:
    EncryptPieceReader(const std::vector<EncryptItem>& items, const InputOpener& opener)
        : items_(items), opener_(opener) {}

    // Fills piece with the next unit; false when all files are read.
    bool Next(EncryptPiece& piece);
    // Stops reading the given item (the job gave up on it).
    void Abandon(std::size_t item);

  private:
    void Start(EncryptPiece& piece);
    void ReadChunk(EncryptPiece& piece);
    void Close() {
        input_.reset();
        ++item_;
    }

    const std::vector<EncryptItem>& items_;
    const InputOpener& opener_;
    std::size_t item_ = 0;
    std::unique_ptr<InputSource> input_;  // null between files
    Bytes name_;
    int64_t chunk_ = 0, chunks_ = 0, fileSize_ = 0;
};

// The worker's part: builds piece.plain (header and name for chunk 0, compressed block).
void BuildChunkPlaintext(EncryptPiece& piece, ZlibCodec& codec);

}  // namespace sealwise
