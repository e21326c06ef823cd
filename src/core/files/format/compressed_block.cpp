#include "files/format/compressed_block.h"

#include <stdexcept>

#include "files/format/byte_order.h"
#include "files/format/container_format.h"

namespace sealwise {

using container::kBlockHeaderSize;

void AppendCompressedBlock(std::span<const uint8_t> piece, ZlibCodec& codec, Bytes& out) {
    if (piece.size() > static_cast<std::size_t>(container::kMaxPieceLength)) {
        throw std::length_error("piece larger than a chunk");
    }
    const std::size_t start = out.size();
    out.resize(start + kBlockHeaderSize + codec.CompressBound(piece.size()));
    uint8_t* header = out.data() + start;
    PutInt32Le(header, container::kCompressedBlockMagic);
    PutInt32Le(header + 4, static_cast<uint32_t>(piece.size()));
    const std::size_t streamLength =
        codec.Compress(piece, std::span(out).subspan(start + kBlockHeaderSize));
    // The buffer has the codec's own bound, so this cannot fail short of a broken library.
    if (streamLength == 0) throw std::runtime_error("compression failed");
    out.resize(start + kBlockHeaderSize + streamLength);
}

Bytes CompressBlock(std::span<const uint8_t> piece, ZlibCodec& codec) {
    Bytes out;
    if (!piece.empty()) AppendCompressedBlock(piece, codec, out);
    return out;
}

std::optional<int32_t> BlockLength(std::span<const uint8_t> block) {
    if (block.size() < static_cast<std::size_t>(kBlockHeaderSize) + 1) return std::nullopt;
    if (GetUint32Le(block.data()) != container::kCompressedBlockMagic) return std::nullopt;
    return GetInt32Le(block.data() + 4);
}

BlockStatus DecompressBlock(std::span<const uint8_t> block, ZlibCodec& codec, int64_t maxLength,
                            Bytes& out) {
    out.clear();
    const std::optional<int32_t> length = BlockLength(block);
    if (!length) return BlockStatus::kNoMagic;
    if (*length < 0 || *length > maxLength) return BlockStatus::kDamaged;
    out.resize(static_cast<std::size_t>(*length));
    if (!codec.Decompress(block.subspan(kBlockHeaderSize), out)) {
        out.clear();  // never hand out bytes that were not inflated
        return BlockStatus::kDamaged;
    }
    return BlockStatus::kInflated;
}

}  // namespace sealwise
