#pragma once
// Little-endian 32-bit fields of the container format.
#include <cstdint>

namespace sealwise {

inline void PutInt32Le(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

inline uint32_t GetUint32Le(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
           static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

inline int32_t GetInt32Le(const uint8_t* in) { return static_cast<int32_t>(GetUint32Le(in)); }

}  // namespace sealwise
