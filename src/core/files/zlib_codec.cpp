#include "files/zlib_codec.h"

#include <libdeflate.h>

#include <array>
#include <new>

#include "files/stored_zlib.h"

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
    libdeflate_free_compressor(probe_);
    libdeflate_free_decompressor(decompressor_);
}

// The states are made on first use: a decrypting job never needs a compressor.
std::size_t ZlibCodec::CompressBound(std::size_t size) {
    if (!compressor_) compressor_ = MakeCompressor(level_);
    return libdeflate_zlib_compress_bound(compressor_, size);
}

bool ZlibCodec::LooksIncompressible(std::span<const uint8_t> in) {
    // Four samples of 8 KiB at the start, the end and between: about 1.5 % of a 2 MiB piece.
    // The data counts as incompressible when no sample shrinks by as much as 1/128 at level 1;
    // level 6 finds little more in such data, and storing it costs about 0.01 %.
    constexpr std::size_t kSample = 8 * 1024, kSamples = 4;
    if (in.size() < kProbeThreshold) return false;
    if (!probe_) probe_ = MakeCompressor(1);
    std::array<uint8_t, kSample + kSample / 8> scratch;
    const std::size_t stride = (in.size() - kSample) / (kSamples - 1);
    for (std::size_t i = 0; i < kSamples; ++i) {
        const std::size_t worthIt = kSample - kSample / 128;
        // A result of 0 means the output would not fit below worthIt: nothing gained.
        const std::size_t length = libdeflate_deflate_compress(probe_, in.data() + i * stride,
                                                               kSample, scratch.data(), worthIt);
        if (length != 0) return false;
    }
    return true;
}

std::size_t ZlibCodec::Compress(std::span<const uint8_t> in, std::span<uint8_t> out) {
    CompressBound(0);  // makes the compressor
    if (out.size() >= StoredZlibSize(in.size()) && LooksIncompressible(in)) {
        return WriteStoredZlib(in, out);
    }
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
