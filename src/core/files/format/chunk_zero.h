#pragma once
// The deciphered first chunk of an entry: filler, marker, name length, name, compressed block.
// Nothing in it authenticates the key, so the reader judges whether it looks like a chunk 0
// at all: a wrong passphrase yields random bytes that almost never pass.
#include <cstdint>
#include <optional>
#include <span>

namespace sealwise {

struct ChunkZero {
    uint8_t marker = 0;
    std::span<const uint8_t> name;
    std::span<const uint8_t> block;  // padding zeros behind the zlib stream included
    bool emptyFile = false;          // no data: the entry restores an empty file
};

// plain: the deciphered chunk (zero padding included), or its first bytes when wholeChunk is
// false. mayBeEmptyFile: the entry consists of this one chunk record. nullopt when the bytes
// cannot be a chunk 0 made with this key: the name runs past the end, or there is no
// compressed block although the marker does not say "empty file" (99) or non-zero bytes
// follow the name.
std::optional<ChunkZero> ParseChunkZero(std::span<const uint8_t> plain, bool wholeChunk,
                                        bool mayBeEmptyFile);

}  // namespace sealwise
