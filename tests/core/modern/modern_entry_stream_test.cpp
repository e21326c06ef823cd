#include <gtest/gtest.h>

#include <random>
#include <stop_token>

#include "../files/file_test_support.h"
#include "core/modern/modern_test_keys.h"
#include "core/test_util.h"
#include "modern/entry_stream.h"
#include "modern/modern_writer.h"

namespace sealwise::modern {
namespace {

using test::ScratchDir;
using test::WriteFile;

struct Quiet : FileJobObserver {
    void ReportError(const std::string&, const SealError&) override {}
};

// Three files of two pieces of random bytes each: stored pieces, so the container's length
// and where each file's data lies are known.
Bytes ThreeFiles(const ScratchDir& scratch, std::vector<Bytes>& contents) {
    std::mt19937 rng(11);
    for (const char* name : {"a", "b", "c"}) {
        contents.push_back(test::RandomBytes(rng, 2 * kPieceSize));
        WriteFile(scratch / (std::string("in/") + name), contents.back());
    }
    Quiet quiet;
    MemorySink sink;
    ModernWriteOptions options;
    options.cost = kTestCost;
    ModernWriteJob(quiet).Run({scratch / "in"}, sink, kTestKeys, options);
    return sink.bytes;
}

struct Read {
    std::vector<std::string> names;  // entries in the order read
    std::vector<Bytes> data;         // each file's data as handed out
    bool damaged = false;
    bool stopped = false;
};

// Reads entries and data as restore does; stopAfterPieces requests stop after that many.
Read ReadAll(std::span<const uint8_t> container, int threads, int stopAfterPieces = -1) {
    Read read;
    MemorySource source(container);
    SealedReader reader(source, kTestKeys, "c");
    std::stop_source stop;
    EntryStream stream(reader, stop.get_token(), threads);
    int pieces = 0;
    try {
        while (const std::optional<EntryMeta> entry = stream.NextEntry()) {
            read.names.push_back(entry->name);
            read.data.emplace_back();
            std::span<const uint8_t> piece;
            while (stream.NextPiece(piece)) {
                read.data.back().insert(read.data.back().end(), piece.begin(), piece.end());
                if (++pieces == stopAfterPieces) stop.request_stop();
            }
        }
    } catch (const StreamDamaged&) {
        read.damaged = true;
    } catch (const EntryStreamStopped&) {
        read.stopped = true;
    }
    return read;
}

// Pieces are decompressed ahead of the reader on worker threads; whatever the thread count,
// the reader gets everything before a damaged message exactly and the damage exactly where it
// lies, never earlier.
TEST(ModernEntryStream, DamageAheadIsReportedWhereTheReaderReachesIt) {
    ScratchDir scratch;
    std::vector<Bytes> contents;
    const Bytes container = ThreeFiles(scratch, contents);
    // From the end: the end message (9 + 17 + 4 bytes) and c's two stored pieces.
    const std::size_t piece = 4 + 17 + 6 + kPieceSize;
    const std::size_t cSecond = container.size() - 30 - piece / 2;
    const std::size_t cFirst = cSecond - piece;
    const std::size_t bSecond = cFirst - piece - 200;  // in b's second piece, before c's entry
    const struct {
        const char* what;
        std::size_t at;  // byte flipped; 0 for none
        std::size_t entries;
        std::size_t soundFiles;  // files read to their end before the damage
    } cases[] = {
        {"sound", 0, 4, 3},
        {"c's second piece", cSecond, 4, 2},
        {"c's first piece", cFirst, 4, 2},
        {"b's second piece", bSecond, 3, 1},
    };
    for (const int threads : {1, 3, 5}) {
        for (const auto& c : cases) {
            Bytes bad = container;
            if (c.at) bad[c.at] ^= 0x20;
            const Read read = ReadAll(bad, threads);
            SCOPED_TRACE(std::string(c.what) + ", threads " + std::to_string(threads));
            EXPECT_EQ(read.damaged, c.at != 0);
            ASSERT_EQ(read.names.size(), c.entries);
            for (std::size_t i = 0; i < c.soundFiles; ++i) {
                EXPECT_EQ(read.data[i + 1], contents[i]) << read.names[i + 1];
            }
            if (c.at) {
                EXPECT_LT(read.data.back().size(), contents[c.entries - 2].size());
            }
        }
    }
}

// A stop request ends the reading at the next piece, whatever is under way.
TEST(ModernEntryStream, StopEndsReadingAtTheNextPiece) {
    ScratchDir scratch;
    std::vector<Bytes> contents;
    const Bytes container = ThreeFiles(scratch, contents);
    for (const int threads : {1, 3}) {
        const Read read = ReadAll(container, threads, 3);
        EXPECT_TRUE(read.stopped) << threads;
        EXPECT_FALSE(read.damaged) << threads;
        EXPECT_EQ(read.names.size(), 3u) << threads;  // "in", a, b
        EXPECT_EQ(read.data.back().size(), kPieceSize) << threads;
    }
}

}  // namespace
}  // namespace sealwise::modern

namespace sealwise::modern {
namespace {

// Whatever the machine, the pieces under way stay within the memory a run through a pipe may
// take.
TEST(ModernPipelineShape, WorkersAndPiecesUnderWayAreCapped) {
    const struct {
        int requested;
        int workers;
        int unitsPerWorker;
    } cases[] = {{1, 1, 2}, {2, 2, 2}, {3, 3, 1}, {4, 4, 1}, {16, 4, 1}, {64, 4, 1}};
    for (const auto& c : cases) {
        const PipelineShape shape = ModernPipelineShape(c.requested);
        // Reading leaves one thread to the caller and does not hand off with fewer than three.
        const PipelineShape reader = ModernReaderShape(c.requested);
        EXPECT_EQ(reader.workers, c.requested < 3 ? 1 : std::min(c.requested - 1, 4))
            << c.requested;
        EXPECT_EQ(shape.workers, c.workers) << c.requested;
        EXPECT_EQ(shape.unitsPerWorker, c.unitsPerWorker) << c.requested;
        const std::size_t units =
            static_cast<std::size_t>(shape.workers * shape.unitsPerWorker + 1);
        EXPECT_LE(units * 2 * kPieceSize, 24u << 20) << c.requested;
    }
}

}  // namespace
}  // namespace sealwise::modern
