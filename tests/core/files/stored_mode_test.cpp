// The choice between deflate and stored blocks: whatever the data, the stream stays within
// 2 % of zlib at level 6, and data that does not compress takes the stored path.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <random>

#include "file_test_support.h"
#include "files/format/stored_zlib.h"
#include "files/format/zlib_codec.h"

namespace sealwise {
namespace {

constexpr std::size_t kPiece = 2'097'110;  // a chunk-0 piece of a file with a short name

Bytes Noise(std::size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

std::size_t ZlibLevel6(const Bytes& data) {
    uLongf length = compressBound(data.size());
    Bytes out(length);
    EXPECT_EQ(compress2(out.data(), &length, data.data(), data.size(), 6), Z_OK);
    return length;
}

struct PieceCase {
    const char* label;
    std::function<Bytes()> make;
    bool stored;  // expected to take the stored path
};

TEST(StoredMode, EveryPieceStaysWithin2PercentOfZlibLevel6) {
    const std::vector<PieceCase> cases{
        {"noise", [] { return Noise(kPiece, 1); }, true},
        {"text", [] { return test::PatternBytes(kPiece, 2); }, false},
        {"noise only where four samples would look, zeros elsewhere",
         [] {
             Bytes piece(kPiece, 0);
             const Bytes noise = Noise(kPiece, 3);
             const std::size_t window = 8192, stride = (kPiece - window) / 3;
             for (std::size_t i = 0; i < 4; ++i) {
                 std::copy_n(noise.begin() + i * stride, window, piece.begin() + i * stride);
             }
             return piece;
         },
         false},
        {"noise with 64 KiB of zeros in the middle",
         [] {
             Bytes piece = Noise(kPiece, 4);
             std::fill_n(piece.begin() + 1'000'000, 65'536, 0);
             return piece;
         },
         false},
        {"noise and text alternating every 8 KiB",
         [] {
             Bytes piece = Noise(kPiece, 5);
             const Bytes text = test::PatternBytes(kPiece, 5);
             for (std::size_t i = 8192; i < kPiece; i += 16384) {
                 std::copy_n(text.begin() + i, std::min<std::size_t>(8192, kPiece - i),
                             piece.begin() + i);
             }
             return piece;
         },
         false},
        {"an 8 KiB block of noise repeated (matches only, flat byte counts)",
         [] {
             const Bytes block = Noise(8192, 6);
             Bytes piece(kPiece);
             for (std::size_t i = 0; i < kPiece; ++i) piece[i] = block[i % block.size()];
             return piece;
         },
         false},
        {"noise of seven bits (Huffman only)",
         [] {
             Bytes piece = Noise(kPiece, 7);
             for (auto& b : piece) b &= 0x7F;
             return piece;
         },
         false},
        {"noise with short repeats every 200 bytes",
         [] {
             Bytes piece = Noise(kPiece, 8);
             for (std::size_t i = 200; i + 40 < kPiece; i += 200) {
                 std::copy_n(piece.begin() + i - 200, 40, piece.begin() + i);
             }
             return piece;
         },
         false},
    };
    ZlibCodec codec;
    for (const PieceCase& c : cases) {
        SCOPED_TRACE(c.label);
        const Bytes piece = c.make();
        Bytes stream(codec.CompressBound(piece.size()));
        stream.resize(codec.Compress(piece, stream));
        EXPECT_LE(static_cast<double>(stream.size()),
                  1.02 * static_cast<double>(ZlibLevel6(piece)));
        EXPECT_EQ(stream.size() == StoredZlibSize(piece.size()), c.stored);
        Bytes back(piece.size());
        uLongf length = back.size();
        ASSERT_EQ(uncompress(back.data(), &length, stream.data(), stream.size()), Z_OK);
        EXPECT_EQ(back, piece);
    }
}

}  // namespace
}  // namespace sealwise
