#include "files/format/zlib_codec.h"

#include <libdeflate.h>

#include <new>

#include "files/format/stored_zlib.h"

namespace sealwise {
namespace {

libdeflate_compressor* MakeCompressor(int level) {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    if (!compressor) throw std::bad_alloc();
    return compressor;
}

}  // namespace

ZlibCodec::ZlibCodec(int level) : level_(level) {}

ZlibCodec::~ZlibCodec() {
    libdeflate_free_compressor(compressor_);
    libdeflate_free_decompressor(decompressor_);
}

// The states are made on first use: a decrypting job never needs a compressor.
std::size_t ZlibCodec::CompressBound(std::size_t size) {
    if (!compressor_) compressor_ = MakeCompressor(level_);
    return libdeflate_zlib_compress_bound(compressor_, size);
}

bool ZlibCodec::LooksIncompressible(std::span<const uint8_t> in) {
    return in.size() >= kProbeThreshold && scan_.LooksIncompressible(in);
}

std::size_t ZlibCodec::Compress(std::span<const uint8_t> in, std::span<uint8_t> out) {
    CompressBound(0);  // makes the compressor
    const bool storedFits = out.size() >= StoredZlibSize(in.size());
    if (storedFits && LooksIncompressible(in)) return WriteStoredZlib(in, out);
    const std::size_t length =
        libdeflate_zlib_compress(compressor_, in.data(), in.size(), out.data(), out.size());
    if (storedFits && (length == 0 || length > StoredZlibSize(in.size()))) {
        return WriteStoredZlib(in, out);
    }
    return length;
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
