#include "files/format/stored_zlib.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace sealwise {

std::size_t WriteStoredZlib(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (out.size() < StoredZlibSize(in.size())) throw std::length_error("stored stream buffer");
    uint8_t* p = out.data();
    // CMF: deflate, 32 KiB window; FLG: fastest level, no dictionary, check bits for % 31.
    *p++ = 0x78;
    *p++ = 0x01;
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min<std::size_t>(in.size() - offset, 65'535);
        const bool last = offset + length == in.size();
        *p++ = last ? 1 : 0;  // BFINAL, BTYPE 00 (stored), then aligned to the byte
        *p++ = static_cast<uint8_t>(length);
        *p++ = static_cast<uint8_t>(length >> 8);
        *p++ = static_cast<uint8_t>(~length);
        *p++ = static_cast<uint8_t>(~length >> 8);
        if (length > 0) std::memcpy(p, in.data() + offset, length);
        p += length;
        offset += length;
    } while (offset < in.size());
    const uint32_t adler = libdeflate_adler32(1, in.data(), in.size());
    *p++ = static_cast<uint8_t>(adler >> 24);
    *p++ = static_cast<uint8_t>(adler >> 16);
    *p++ = static_cast<uint8_t>(adler >> 8);
    *p++ = static_cast<uint8_t>(adler);
    return static_cast<std::size_t>(p - out.data());
}

}  // namespace sealwise
