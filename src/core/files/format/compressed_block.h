#pragma once
// Compressed blocks of the container format: CompressedBlockMagic, the uncompressed length U
// (both int32 little-endian) and the zlib stream of those U bytes.
#include <cstdint>
#include <optional>
#include <span>

#include "files/format/zlib_codec.h"
#include "util/bytes.h"

namespace sealwise {

// Appends the compressed block of piece (not empty) to out.
void AppendCompressedBlock(std::span<const uint8_t> piece, ZlibCodec& codec, Bytes& out);

// The compressed block of piece; empty for an empty piece.
Bytes CompressBlock(std::span<const uint8_t> piece, ZlibCodec& codec);

// U of a block that has at least 9 bytes and starts with the magic; nullopt otherwise.
std::optional<int32_t> BlockLength(std::span<const uint8_t> block);

enum class BlockStatus {
    kInflated,  // out holds exactly U bytes
    kNoMagic,   // too short or without the magic: the block yields no data
    kDamaged,   // U out of range, or the stream does not inflate to exactly U bytes
};

// Inflates a block (zero padding behind the stream is ignored). U above maxLength counts as
// damage, so a forged length never makes it allocate more than maxLength bytes.
BlockStatus DecompressBlock(std::span<const uint8_t> block, ZlibCodec& codec, int64_t maxLength,
                            Bytes& out);

}  // namespace sealwise
