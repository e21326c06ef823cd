#pragma once
// One unit of work of the decrypt pipeline: a chunk record of one entry, read in order on the
// job's thread, deciphered and inflated by a worker, and checked and written by the job's
// thread again. CBC lets a worker decipher a record on its own: the only thing it needs from
// the record before is that record's last cipher block, which the reader hands along.
#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "crypto/cbc_envelope.h"
#include "files/format/chunk_zero.h"
#include "files/format/compressed_block.h"
#include "files/format/container_reader.h"
#include "files/format/record_read_ahead.h"
#include "util/bytes.h"

namespace sealwise {

struct DecryptRecord {
    std::size_t entry = 0;   // position in the index
    int64_t chunk = 0;       // (entry, chunk) orders the units
    int64_t recordSize = 0;  // L + 5; 0 when the record's length is impossible
    bool last = false;       // the entry ends with this record
    std::array<uint8_t, CbcEnvelope::kBlockSize> previous{};  // chain block (chunk >= 1)
    Bytes cipher, plain, piece;
    std::exception_ptr failure;  // reading the container failed

    // Set by the worker.
    bool opened = false;  // OpenRecord ran
    bool deciphered = false;
    std::optional<ChunkZero> chunkZero;          // chunk 0 only; views into plain
    BlockStatus status = BlockStatus::kNoMagic;  // of the block inflated into piece, if any
};

// Consecutive records handed to a worker together: a tree of small files would otherwise cost
// two thread hand-offs per file. A batch holds one record of any size, or several small ones.
struct DecryptBatch {
    static constexpr std::size_t kMaxRecords = 16;
    static constexpr int64_t kMaxCipherBytes = 256 << 10;
    static constexpr int64_t kSmallRecord = 64 << 10;  // cipher bytes a record may add
    // Inflated bytes a worker makes for one batch; the records past it are left unopened for
    // the consumer to open, so that a batch of highly compressed records stays small.
    static constexpr std::size_t kMaxInflatedBytes = 4 << 20;

    std::vector<DecryptRecord> records;  // the first count are the batch's
    std::size_t count = 0;
};

// Reads the records of all entries of a container in order.
class DecryptRecordReader {
  public:
    explicit DecryptRecordReader(const ContainerReader& reader)
        : records_(reader), entries_(reader.Entries()) {}

    // Fills record with the next unit; false after the last record of the last entry.
    bool Next(DecryptRecord& record);
    // Fills batch with the next records (see DecryptBatch); false when none is left.
    bool NextBatch(DecryptBatch& batch);
    // Stops reading the given entry (the job is done with it).
    void Abandon(std::size_t entry);

  private:
    // Moves on to the next entry when the current one is read; false after the last.
    bool Advance();

    RecordReadAhead records_;
    EntryCursor entries_;
    EntryExtent extent_;
    bool started_ = false;
    int64_t consumed_ = 0, chunk_ = 0;
    std::array<uint8_t, CbcEnvelope::kBlockSize> previous_{};
};

// The worker's part: deciphers the record and inflates its compressed block.
void OpenRecord(DecryptRecord& record, CbcEnvelope& cipher, ZlibCodec& codec);
// Opens the records of a batch up to DecryptBatch::kMaxInflatedBytes of inflated data.
void OpenBatch(DecryptBatch& batch, CbcEnvelope& cipher, ZlibCodec& codec);

}  // namespace sealwise
