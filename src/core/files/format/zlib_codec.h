#pragma once
// Compression of one piece of file data into a zlib-format stream (RFC 1950) and back.
// One codec per job or per worker thread: it keeps its compressor state between blocks and is
// not safe to share between threads.
#include <cstddef>
#include <cstdint>
#include <span>

#include "files/format/compressibility_scan.h"

struct libdeflate_compressor;
struct libdeflate_decompressor;

namespace sealwise {

class ZlibCodec {
  public:
    // The level the format's writers use ("default level" of zlib).
    static constexpr int kDefaultLevel = 6;
    // Inputs below this size are always deflated: a scan would cost more than it saves.
    static constexpr std::size_t kProbeThreshold = 64 * 1024;

    explicit ZlibCodec(int level = kDefaultLevel);
    ~ZlibCodec();
    ZlibCodec(const ZlibCodec&) = delete;
    ZlibCodec& operator=(const ZlibCodec&) = delete;

    // Largest stream Compress can produce for size input bytes.
    std::size_t CompressBound(std::size_t size);

    // Writes the zlib stream of in to out; returns its length, or 0 when out is too small.
    // Data that does not compress (already compressed or random) is written in stored blocks:
    // deflating it would take as long as text and gain nothing. The decision looks at every
    // byte (compressibility_scan.h), and stored blocks are also used when deflate came out
    // larger, so the stream is never more than about 1 % above deflate's.
    std::size_t Compress(std::span<const uint8_t> in, std::span<uint8_t> out);

    // Inflates the zlib stream at the start of in (bytes behind the stream are ignored) into
    // out. True only when the stream is intact and yields exactly out.size() bytes.
    bool Decompress(std::span<const uint8_t> in, std::span<uint8_t> out);

    // True when in is long enough to be judged and deflate is not expected to save 1 % of it.
    bool LooksIncompressible(std::span<const uint8_t> in);

  private:
    libdeflate_compressor* compressor_ = nullptr;
    libdeflate_decompressor* decompressor_ = nullptr;
    CompressibilityScan scan_;
    int level_;
};

}  // namespace sealwise
