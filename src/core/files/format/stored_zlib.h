#pragma once
// A zlib-format stream (RFC 1950) whose deflate data is stored blocks only: the bytes as they
// are, in blocks of at most 65,535, behind a two-byte header and followed by the Adler-32 of
// the data. Any inflater reads it; it is the right form for data that does not compress.
#include <cstddef>
#include <cstdint>
#include <span>

namespace sealwise {

// Length of the stored stream of size bytes.
constexpr std::size_t StoredZlibSize(std::size_t size) {
    constexpr std::size_t kBlock = 65'535;
    const std::size_t blocks = size == 0 ? 1 : (size + kBlock - 1) / kBlock;
    return 2 + 5 * blocks + size + 4;
}

// Writes the stored stream of in to out (at least StoredZlibSize(in.size()) bytes); returns
// its length.
std::size_t WriteStoredZlib(std::span<const uint8_t> in, std::span<uint8_t> out);

}  // namespace sealwise
