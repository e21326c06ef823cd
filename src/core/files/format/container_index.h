#pragma once
// The index at the end of a container: per entry its size S as base-255 digits (least
// significant first, none for 0) and a 0xFF byte; then the index length T as base-255 digits
// without a terminator.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "util/bytes.h"

namespace sealwise {

// Index and index length for the given entry sizes (each 0 or more).
Bytes EncodeIndex(std::span<const int32_t> sizes);

// Number of bytes at the end of a container of containerSize bytes that the reader examines
// to find the index: a + 1 with a = 100 above 100 bytes, else containerSize - 4; 0 when the
// container is shorter than 4 bytes.
int64_t IndexTailLength(int64_t containerSize);

struct IndexLength {
    int64_t indexLength;  // T: bytes of the index, the final 0xFF included
    int64_t digitCount;   // D: bytes of the index length behind the last 0xFF
};

// Finds T in the examined tail: the last 0xFF is the end of the index and the bytes behind it
// are T's digits. nullopt when there is no 0xFF, it is the first byte of the tail, or T does
// not fit in 32 bits.
std::optional<IndexLength> FindIndexLength(std::span<const uint8_t> tail);

// Reads index records one at a time from consecutive slices of the index, so that an index of
// any length is parsed in constant memory.
class IndexParser {
  public:
    enum class Step {
        kNeedMore,  // the slice is used up inside a record
        kRecord,    // a 0xFF closed a record; its size is in size
        kOverflow,  // a size left 32 bits
    };
    // Consumes bytes from the front of in, up to and including the next 0xFF.
    Step Next(std::span<const uint8_t>& in, int32_t& size);
    // Consumes the records of size 0 at the front of in (a run of 0xFF bytes, when no digit of
    // a record is pending) and returns how many; a quick path for long runs of failed files.
    int64_t SkipEmptyRecords(std::span<const uint8_t>& in);

  private:
    int64_t size_ = 0;
    int64_t position_ = 0;  // digits read so far for the current record
};

// The entry sizes of a small index (its last byte being the final 0xFF); nullopt when a size
// overflows 32 bits. Readers of whole containers walk the index with IndexParser instead.
std::optional<std::vector<int32_t>> ParseIndex(std::span<const uint8_t> index);

}  // namespace sealwise
