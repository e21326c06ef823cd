#pragma once
// A quick look at the first chunk of an entry: only its first cipher blocks are deciphered
// (enough for the header, the longest name and the compressed block's length field). It tells
// whether the chunk can be a chunk 0 made with the key at all, which is the only sign of a
// right key the format has, and what a listing shows of the entry.
#include <cstdint>
#include <optional>
#include <span>

#include "crypto/cbc_envelope.h"
#include "files/format/container_reader.h"
#include "util/bytes.h"

namespace sealwise {

struct ChunkZeroProbe {
    enum class Status {
        kSound,         // a chunk 0 as the key's owner wrote it
        kNotChunkZero,  // deciphered, but the bytes cannot be a chunk 0 made with this key
        kUnreadable,    // the record's length field is impossible: damage whatever the key
    };
    Status status = Status::kUnreadable;
    Bytes name;                    // the stored name (kSound only)
    bool emptyFile = false;        // marker 99 and nothing behind the name
    int32_t firstPieceLength = 0;  // U of chunk 0's compressed block (0 for an empty file)
    int64_t recordSize = 0;        // L + 5 of the entry's first record
};

// Deciphers the first blocks of the entry's first record with the key the cipher holds and
// applies the checks of ParseChunkZero.
ChunkZeroProbe ProbeChunkZero(const ContainerReader& reader, CbcEnvelope& cipher,
                              const EntryExtent& entry);

enum class KeyVerdict {
    kRight,     // the first chunk of some entry makes sense with the key
    kWrong,     // first chunks could be deciphered, and none makes sense
    kUntested,  // no entry has a first record that could be deciphered at all
};

// What the entries of a container say about key. One sound entry is enough: entries damaged
// on their own fail alone. soundEntry, when given, receives the number (from 0) of the first
// sound entry.
KeyVerdict CheckContainerKey(const ContainerReader& reader, std::span<const uint8_t> key,
                             int64_t* soundEntry = nullptr);

}  // namespace sealwise
