#pragma once
// The byte layout of a container: entries made of chunk records, each chunk the cipher envelope
// of a plaintext that holds a compressed block; chunk 0 also carries filler, marker and name.
// This header holds the constants and the arithmetic that the writer and the reader share.
#include <cstdint>
#include <limits>

namespace sealwise::container {

// Every piece of an entry's logical stream (header, name, file bytes) is this long but the last.
constexpr int64_t kChunkSize = 2'097'152;
// Chunk 0 plaintext: 32 filler bytes, marker, name length, name.
constexpr int64_t kFillerSize = 32;
constexpr int64_t kMarkerOffset = 32;
constexpr int64_t kNameLengthOffset = 33;
constexpr int64_t kHeaderSize = 34;
constexpr uint8_t kEmptyFileMarker = 99;
constexpr int64_t kMaxNameBytes = 255;

// Compressed block: magic, uncompressed length U, zlib stream.
constexpr uint32_t kCompressedBlockMagic = 1234567890;
constexpr int64_t kBlockHeaderSize = 8;

// Chunk record: int32 L = cipher length - 1, then the cipher bytes.
constexpr int64_t kRecordHeaderSize = 4;
constexpr int64_t kCipherBlock = 32;

// Every length in the format is a signed 32-bit value.
constexpr int64_t kMaxSize = std::numeric_limits<int32_t>::max();

// Bytes of the logical stream of a file of fileSize bytes stored under a name of nameBytes.
constexpr int64_t LogicalSize(int64_t nameBytes, int64_t fileSize) {
    return kHeaderSize + nameBytes + fileSize;
}

// Number of chunks of an entry: ceil(E / kChunkSize), at least 1.
constexpr int64_t ChunkCount(int64_t logicalSize) {
    return logicalSize <= 0 ? 1 : (logicalSize + kChunkSize - 1) / kChunkSize;
}

// Offset in the file of the first byte that chunk c carries (c >= 1); chunk 0 starts at 0.
constexpr int64_t PieceOffset(int64_t chunk, int64_t nameBytes) {
    return chunk == 0 ? 0 : chunk * kChunkSize - kHeaderSize - nameBytes;
}

// Number of file bytes chunk c carries for a file of fileSize bytes.
constexpr int64_t PieceLength(int64_t chunk, int64_t nameBytes, int64_t fileSize) {
    const int64_t begin = PieceOffset(chunk, nameBytes);
    const int64_t end = (chunk + 1) * kChunkSize - kHeaderSize - nameBytes;
    const int64_t stop = end < fileSize ? end : fileSize;
    return stop > begin ? stop - begin : 0;
}

// The largest number of file bytes any chunk carries, and so the largest valid U.
constexpr int64_t kMaxPieceLength = kChunkSize;

// A cipher length above this cannot come from any writer of the format: the largest plaintext
// (header, longest name, block header, a full piece with zlib's worst-case expansion and the
// generous capacity n + n/100 + 12 some writers give the compressor) rounded up to blocks.
constexpr int64_t kMaxCipherLength = (kHeaderSize + kMaxNameBytes + kBlockHeaderSize + kChunkSize +
                                      kChunkSize / 100 + 12 + kCipherBlock - 1) /
                                     kCipherBlock * kCipherBlock;

constexpr int64_t PaddedLength(int64_t n) {
    return (n + kCipherBlock - 1) / kCipherBlock * kCipherBlock;
}

}  // namespace sealwise::container
