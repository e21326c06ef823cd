#include "files/zlib_codec.h"

#include <libdeflate.h>

#include <new>

namespace sealwise {

ZlibCodec::ZlibCodec(int level) : level_(level) {}

ZlibCodec::~ZlibCodec() {
    libdeflate_free_compressor(compressor_);
    libdeflate_free_decompressor(decompressor_);
}

// The states are made on first use: a decrypting job never needs a compressor.
std::size_t ZlibCodec::CompressBound(std::size_t size) {
    if (!compressor_) {
        compressor_ = libdeflate_alloc_compressor(level_);
        if (!compressor_) throw std::bad_alloc();
    }
    return libdeflate_zlib_compress_bound(compressor_, size);
}

std::size_t ZlibCodec::Compress(std::span<const uint8_t> in, std::span<uint8_t> out) {
    CompressBound(0);  // makes the compressor
    return libdeflate_zlib_compress(compressor_, in.data(), in.size(), out.data(), out.size());
}

bool ZlibCodec::Decompress(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (!decompressor_) {
        decompressor_ = libdeflate_alloc_decompressor();
        if (!decompressor_) throw std::bad_alloc();
    }
    // Without an "actual size" result libdeflate insists on exactly out.size() bytes.
    return libdeflate_zlib_decompress(decompressor_, in.data(), in.size(), out.data(), out.size(),
                                      nullptr) == LIBDEFLATE_SUCCESS;
}

}  // namespace sealwise
