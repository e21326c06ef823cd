#pragma once
// Little-endian integers in byte buffers, as the modern format stores them.
#include <cstddef>
#include <cstdint>

namespace sealwise::modern {

inline void StoreLe(uint8_t* out, uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint64_t LoadLe(const uint8_t* in, std::size_t bytes) {
    uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(in[i]) << (8 * i);
    return value;
}

}  // namespace sealwise::modern
