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
    bool deciphered = false;
    std::optional<ChunkZero> chunkZero;          // chunk 0 only; views into plain
    BlockStatus status = BlockStatus::kNoMagic;  // of the block inflated into piece, if any
};

// Reads the records of all entries of a container in order.
class DecryptRecordReader {
  public:
    explicit DecryptRecordReader(const ContainerReader& reader)
        : records_(reader), entries_(reader.Entries()) {}

    // Fills record with the next unit; false after the last record of the last entry.
    bool Next(DecryptRecord& record);
    // Stops reading the given entry (the job is done with it).
    void Abandon(std::size_t entry);

  private:
    RecordReadAhead records_;
    EntryCursor entries_;
    EntryExtent extent_;
    bool started_ = false;
    int64_t consumed_ = 0, chunk_ = 0;
    std::array<uint8_t, CbcEnvelope::kBlockSize> previous_{};
};

// The worker's part: deciphers the record and inflates its compressed block.
void OpenRecord(DecryptRecord& record, CbcEnvelope& cipher, ZlibCodec& codec);

}  // namespace sealwise
