#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "../files/file_test_support.h"
#include "core/test_util.h"
#include "files/io/posix_io.h"
#include "modern/byte_stream.h"

namespace sealwise::modern {
namespace {

using test::ReadFile;
using test::ScratchDir;

// Reads of any size through the buffer give the bytes in order and fewer only at the end,
// also from a pipe that hands them over in odd bursts.
TEST(FdSource, ReadsOfEverySizeGiveTheBytesInOrder) {
    const Bytes data = test::PatternBytes(3 * kFdBufferSize + 1234, 9);
    const std::size_t chunkSizes[] = {
        1, 4, 1000, kFdBufferSize - 1, kFdBufferSize, kFdBufferSize + 7, data.size() + 10};
    const std::size_t burstSizes[] = {1, 4096, 70000};
    for (const std::size_t chunk : chunkSizes) {
        for (const std::size_t burst : burstSizes) {
            int ends[2];
            ASSERT_EQ(::pipe(ends), 0);
            UniqueFd readEnd(ends[0]), writeEnd(ends[1]);
            std::thread feeder([&] {
                for (std::size_t at = 0; at < data.size(); at += burst) {
                    const std::size_t n = std::min(burst, data.size() - at);
                    WriteAll(writeEnd.get(), std::span(data).subspan(at, n));
                }
                writeEnd.Reset();
            });
            FdSource source(readEnd.get());
            Bytes got, piece(chunk);
            for (;;) {
                const std::size_t n = source.Read(piece);
                got.insert(got.end(), piece.begin(), piece.begin() + static_cast<long>(n));
                if (n < chunk) break;
            }
            feeder.join();
            EXPECT_EQ(got, data) << "chunk " << chunk << ", burst " << burst;
            EXPECT_EQ(source.Read(piece), 0u);
        }
    }
}

// Small writes are gathered, large ones go straight through; after Flush the file holds
// exactly what was written, in order, also when its write-back starts on the way.
TEST(FdSink, WritesOfEverySizeArriveInOrderAfterFlush) {
    constexpr std::size_t kStretch = WritebackAhead::kStretch;
    const std::vector<std::vector<std::size_t>> runs{
        {1, 2, 3},
        {kFdBufferSize},
        {kFdBufferSize - 1, 1, 1},
        {100, kFdBufferSize + 5, 100},
        {70000, 70000, 70000, 70000, 70000},
        {kStretch - 1, 1, kFdBufferSize, 3},
        {kStretch + 7, kStretch, 100, 100},
    };
    for (const auto& sizes : runs) {
        for (const auto writeback : {FdSink::Writeback::kAtEnd, FdSink::Writeback::kAhead}) {
            ScratchDir dir;
            const std::string path = dir / "out";
            UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
            ASSERT_TRUE(fd.valid());
            FdSink sink(fd.get(), writeback);
            Bytes expected;
            uint32_t seed = 1;
            for (const std::size_t size : sizes) {
                const Bytes part = test::PatternBytes(size, seed++);
                sink.Write(part);
                expected.insert(expected.end(), part.begin(), part.end());
            }
            sink.Flush();
            EXPECT_EQ(ReadFile(path), expected) << sizes.size() << " writes";
        }
    }
}

}  // namespace
}  // namespace sealwise::modern
