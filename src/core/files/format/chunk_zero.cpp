#include "files/format/chunk_zero.h"

#include <algorithm>

#include "files/format/compressed_block.h"
#include "files/format/container_format.h"

namespace sealwise {

using namespace container;

std::optional<ChunkZero> ParseChunkZero(std::span<const uint8_t> plain, bool wholeChunk,
                                        bool mayBeEmptyFile) {
    if (plain.size() < static_cast<std::size_t>(kHeaderSize)) return std::nullopt;
    const std::size_t nameBytes = plain[kNameLengthOffset];
    if (plain.size() < kHeaderSize + nameBytes) return std::nullopt;
    ChunkZero chunk;
    chunk.marker = plain[kMarkerOffset];
    chunk.name = plain.subspan(kHeaderSize, nameBytes);
    chunk.block = plain.subspan(kHeaderSize + nameBytes);
    if (BlockLength(chunk.block)) return chunk;
    // An empty file's chunk is header and name only: what follows is the cipher's padding.
    const bool onlyPadding =
        chunk.block.size() < static_cast<std::size_t>(kCipherBlock) &&
        std::all_of(chunk.block.begin(), chunk.block.end(), [](uint8_t b) { return b == 0; });
    if (chunk.marker == kEmptyFileMarker && wholeChunk && mayBeEmptyFile && onlyPadding) {
        chunk.emptyFile = true;
        chunk.block = {};
        return chunk;
    }
    return std::nullopt;
}

}  // namespace sealwise
