#include "files/format/container_format.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "core/test_util.h"
#include "file_test_support.h"
#include "files/format/compressed_block.h"
#include "files/format/container_index.h"

namespace sealwise {
namespace {

using namespace container;

TEST(ContainerIndex, EncodesSizesAsBase255DigitsWithTerminators) {
    // 996 = 231 + 3*255; a zero digit is written (7140 = 28*255); size 0 is just the terminator.
    EXPECT_EQ(test::ToHex(EncodeIndex(std::vector<int32_t>{996})), "e703ff03");
    EXPECT_EQ(test::ToHex(EncodeIndex(std::vector<int32_t>{7140})), "001cff03");
    EXPECT_EQ(test::ToHex(EncodeIndex(std::vector<int32_t>{0, 5})), "ff05ff03");
    // 128 records of 2 bytes: T = 256 = 1 + 1*255 takes two digits.
    const Bytes many = EncodeIndex(std::vector<int32_t>(128, 1));
    ASSERT_EQ(many.size(), 258u);
    EXPECT_EQ(many[256], 1);
    EXPECT_EQ(many[257], 1);
}

TEST(ContainerIndex, ParsesWhatItEncodes) {
    const std::vector<int32_t> sizes{0, 1, 254, 255, 7140, 65025, kMaxSize, 0};
    const Bytes encoded = EncodeIndex(sizes);
    // Preceded by entry bytes, as in a container, so that the whole tail can be examined.
    Bytes container(200, 0x42);
    container.insert(container.end(), encoded.begin(), encoded.end());
    const auto found = FindIndexLength(Bytes(container.end() - 101, container.end()));
    ASSERT_TRUE(found);
    ASSERT_EQ(found->indexLength + found->digitCount, static_cast<int64_t>(encoded.size()));
    const auto index = std::span(encoded).first(found->indexLength);
    EXPECT_EQ(ParseIndex(index), sizes);
}

TEST(ContainerIndex, ParserGivesTheSameRecordsWhateverTheSlicesItIsFed) {
    std::vector<int32_t> sizes{0, 1, 254, 255, 7140, 65025, kMaxSize, 0, 0, 996};
    sizes.insert(sizes.end(), 21, 0);  // a run of failed files, longer than the quick path's step
    sizes.push_back(7);
    Bytes index = EncodeIndex(sizes);
    while (index.back() != 0xFF) index.pop_back();  // the index without its length
    for (const bool skipping : {false, true}) {
        for (std::size_t slice : {1u, 2u, 3u, 5u, 64u}) {
            SCOPED_TRACE(testing::Message() << slice << (skipping ? " skipping" : ""));
            IndexParser parser;
            std::vector<int32_t> parsed;
            for (std::size_t at = 0; at < index.size(); at += slice) {
                std::span<const uint8_t> in =
                    std::span(index).subspan(at, std::min(slice, index.size() - at));
                for (int32_t size = 0;;) {
                    if (skipping) parsed.insert(parsed.end(), parser.SkipEmptyRecords(in), 0);
                    const IndexParser::Step step = parser.Next(in, size);
                    ASSERT_NE(step, IndexParser::Step::kOverflow);
                    if (step == IndexParser::Step::kNeedMore) break;
                    parsed.push_back(size);
                }
            }
            EXPECT_EQ(parsed, sizes);
        }
    }
    // A size that overflows is reported where it happens, even across slices.
    IndexParser parser;
    Bytes first = test::FromHex("0101"), second = test::FromHex("010101ff");  // 255^4 * 1
    std::span<const uint8_t> in = first;
    int32_t size = 0;
    EXPECT_EQ(parser.Next(in, size), IndexParser::Step::kNeedMore);
    in = second;
    EXPECT_EQ(parser.Next(in, size), IndexParser::Step::kOverflow);
}

TEST(ContainerIndex, TailLengthFollowsTheContainerSize) {
    EXPECT_EQ(IndexTailLength(3), 0);
    EXPECT_EQ(IndexTailLength(4), 1);
    EXPECT_EQ(IndexTailLength(100), 97);
    EXPECT_EQ(IndexTailLength(101), 101);
    EXPECT_EQ(IndexTailLength(1'000'000), 101);
}

TEST(ContainerIndex, RefusesTailsWithoutTerminatorAndOverflowingSizes) {
    EXPECT_FALSE(FindIndexLength(test::FromHex("0102")));
    EXPECT_FALSE(FindIndexLength(test::FromHex("ff0102")));          // 0xFF only as the first byte
    EXPECT_FALSE(FindIndexLength(test::FromHex("00ff0101010101")));  // T needs 5 digits
    EXPECT_EQ(FindIndexLength(test::FromHex("00ff"))->indexLength, 0);
    EXPECT_FALSE(ParseIndex(test::FromHex("0101010101ff")));  // 255^4 overflows int32
    EXPECT_FALSE(ParseIndex(test::FromHex("fefefefe08ff")));
    EXPECT_EQ(ParseIndex(test::FromHex("0500000000ff")), std::vector<int32_t>{5});
}

TEST(ChunkArithmetic, PiecesOfTheLogicalStream) {
    EXPECT_EQ(ChunkCount(LogicalSize(10, 0)), 1);
    EXPECT_EQ(ChunkCount(kChunkSize), 1);
    EXPECT_EQ(ChunkCount(kChunkSize + 1), 2);
    // E = 2 * ChunkSize with N = 10: 2,097,108 file bytes in chunk 0, a full piece in chunk 1.
    const int64_t file = 2 * kChunkSize - 44;
    EXPECT_EQ(ChunkCount(LogicalSize(10, file)), 2);
    EXPECT_EQ(PieceLength(0, 10, file), 2'097'108);
    EXPECT_EQ(PieceLength(1, 10, file), 2'097'152);
    EXPECT_EQ(PieceOffset(1, 10), 2'097'108);
    EXPECT_EQ(PieceLength(1, 10, kChunkSize - 43), 1);
}

TEST(CompressedBlock, IsMagicLengthAndAZlibStreamThatZlibDecodes) {
    ZlibCodec codec;
    const Bytes data = test::PatternBytes(100'000);
    const Bytes block = CompressBlock(data, codec);
    EXPECT_EQ(GetUint32Le(block.data()), kCompressedBlockMagic);
    EXPECT_EQ(GetInt32Le(block.data() + 4), 100'000);
    Bytes inflated(data.size());
    uLongf length = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &length, block.data() + 8, block.size() - 8), Z_OK);
    EXPECT_EQ(length, data.size());
    EXPECT_EQ(inflated, data);
    EXPECT_TRUE(CompressBlock({}, codec).empty());
}

TEST(CompressedBlock, InflatesZlibOutputAndIgnoresPaddingBehindTheStream) {
    const Bytes data = test::PatternBytes(5000, 7);
    Bytes stream(compressBound(data.size()));
    uLongf length = stream.size();
    ASSERT_EQ(compress2(stream.data(), &length, data.data(), data.size(), 6), Z_OK);
    Bytes block(8);
    PutInt32Le(block.data(), kCompressedBlockMagic);
    PutInt32Le(block.data() + 4, 5000);
    block.insert(block.end(), stream.begin(), stream.begin() + static_cast<long>(length));
    block.resize(block.size() + 31, 0);  // the cipher's zero padding
    ZlibCodec codec;
    Bytes out;
    ASSERT_EQ(DecompressBlock(block, codec, kChunkSize, out), BlockStatus::kInflated);
    EXPECT_EQ(out, data);
}

TEST(CompressedBlock, RefusesWrongLengthsAndBrokenStreamsWithoutOutput) {
    ZlibCodec codec;
    const Bytes data = test::PatternBytes(3000);
    Bytes out;
    Bytes block = CompressBlock(data, codec);
    PutInt32Le(block.data() + 4, 2999);  // stream longer than U
    EXPECT_EQ(DecompressBlock(block, codec, kChunkSize, out), BlockStatus::kDamaged);
    PutInt32Le(block.data() + 4, 3001);  // stream shorter than U
    EXPECT_EQ(DecompressBlock(block, codec, kChunkSize, out), BlockStatus::kDamaged);
    EXPECT_TRUE(out.empty());
    PutInt32Le(block.data() + 4, 0x7FFFFFFF);  // impossible U: refused before allocating
    EXPECT_EQ(DecompressBlock(block, codec, kChunkSize, out), BlockStatus::kDamaged);
    PutInt32Le(block.data() + 4, 3000);
    block[block.size() / 2] ^= 0x55;  // corrupt the stream (the checksum catches the rest)
    EXPECT_EQ(DecompressBlock(block, codec, kChunkSize, out), BlockStatus::kDamaged);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(DecompressBlock(Bytes(8, 0), codec, kChunkSize, out), BlockStatus::kNoMagic);
    block[0] ^= 1;
    EXPECT_EQ(DecompressBlock(block, codec, kChunkSize, out), BlockStatus::kNoMagic);
}

}  // namespace
}  // namespace sealwise
