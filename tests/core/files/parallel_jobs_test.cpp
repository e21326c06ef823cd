// The file jobs with several worker threads: the container and the restored files must be the
// same whatever the thread count, and failures, damage and cancel must behave as with one.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <thread>

#include "file_test_support.h"
#include "files/format/stored_zlib.h"
#include "files/jobs/container_listing.h"
#include "files/jobs/decrypt_container_job.h"
#include "files/jobs/encrypt_files_job.h"
#include "files/jobs/message_ids.h"
#include "files/pipeline/ordered_pipeline.h"
#include "files/pipeline/thread_count.h"

namespace sealwise {
namespace {

using namespace container;
using test::ReadFile;
using test::WriteFile;

Bytes Noise(std::size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

// Fails on the given read (counted from 1) of the file it wraps.
struct FailOnRead : InputSource {
    std::unique_ptr<InputSource> inner;
    int failAt = 0, reads = 0;
    int64_t Size() const override { return inner->Size(); }
    std::size_t Read(std::span<uint8_t> out) override {
        if (++reads == failAt) throw SealError(msg::kSystemError, "Input/output error", "injected");
        return inner->Read(out);
    }
};

struct Parallel : ::testing::Test {
    test::ScratchDir dir;
    test::RecordingObserver observer;
    Bytes key = test::Key();
    std::vector<EncryptItem> items;

    void SetUp() override {
        // Several chunks, an empty file, data that does not compress, small files, and one
        // file that fails on its third read.
        const std::vector<std::pair<std::string, Bytes>> files{
            {"big.txt", test::PatternBytes(2 * kChunkSize + 12345, 1)},
            {"empty", {}},
            {"noise.bin", Noise(kChunkSize + 1000, 2)},
            {"fails.txt", test::PatternBytes(3 * kChunkSize, 3)},
            {"small-1", test::PatternBytes(700, 4)},
            {"sub/small-2", test::PatternBytes(70'000, 5)},
        };
        for (const auto& [name, data] : files) {
            WriteFile(dir / ("in/" + name), data);
            items.push_back({dir / ("in/" + name), "\\in\\" + name});
        }
    }

    Bytes EncryptWith(int threads, const std::string& name) {
        EncryptFilesJob job(observer);
        job.SetThreadCount(threads);
        uint8_t counter = 0;
        job.SetFillerSource([&](std::span<uint8_t> filler) {
            for (auto& b : filler) b = counter++;
        });
        job.SetInputOpener([&](const std::string& path) -> std::unique_ptr<InputSource> {
            auto source = OpenInputFile(path);
            if (path.find("fails") == std::string::npos) return source;
            auto failing = std::make_unique<FailOnRead>();
            failing->inner = std::move(source);
            failing->failAt = 3;
            return failing;
        });
        const EncryptSummary s = job.Run(items, dir / name, key);
        EXPECT_EQ(s.outcome, JobOutcome::kCompleted);
        EXPECT_EQ(s.failedFiles, 1);
        return ReadFile(dir / name);
    }

    DecryptSummary DecryptWith(int threads, const std::string& container, const std::string& out) {
        std::filesystem::create_directories(out);
        DecryptContainerJob job(observer);
        job.SetThreadCount(threads);
        return job.Run(container, out, key);
    }
};

TEST_F(Parallel, ContainerBytesAndRestoredFilesDoNotDependOnTheThreadCount) {
    const Bytes one = EncryptWith(1, "one.vesk");
    const auto errorsWithOne = observer.errors;
    observer = {};
    const Bytes four = EncryptWith(4, "four.vesk");
    EXPECT_EQ(one, four);
    EXPECT_EQ(observer.errors, errorsWithOne);
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0].first, dir / "in/fails.txt");

    for (int threads : {1, 4}) {
        observer = {};
        const std::string out = dir / ("out" + std::to_string(threads));
        const DecryptSummary s = DecryptWith(threads, dir / "four.vesk", out);
        EXPECT_EQ(s.restored, 5) << threads;
        EXPECT_EQ(s.emptyRecords, 1) << threads;
        EXPECT_TRUE(observer.errors.empty());
        for (const auto& item : items) {
            if (item.path.find("fails") != std::string::npos) continue;
            const std::string restored = out + "/" + item.path.substr((dir / "").size());
            EXPECT_EQ(ReadFile(restored), ReadFile(item.path)) << restored << " " << threads;
        }
    }
}

TEST_F(Parallel, DamagedRecordInTheMiddleFailsOnlyItsEntry) {
    const Bytes good = EncryptWith(4, "c.vesk");
    // Flip a byte in the second record of big.txt: its block no longer inflates.
    ContainerReader reader(dir / "c.vesk");
    EntryExtent big;
    ASSERT_TRUE(reader.Entries().Next(big));
    const int64_t second =
        big.start + 4 + reader.RecordCipherLength(big.start, big.start + big.size);
    Bytes damaged = good;
    damaged[static_cast<std::size_t>(second + 4 + 100)] ^= 0x40;
    WriteFile(dir / "d.vesk", damaged);
    for (int threads : {1, 4}) {
        observer = {};
        const std::string out = dir / ("out" + std::to_string(threads));
        const DecryptSummary s = DecryptWith(threads, dir / "d.vesk", out);
        EXPECT_EQ(s.restored, 4) << threads;
        ASSERT_EQ(observer.errors.size(), 1u) << threads;
        EXPECT_EQ(observer.errors[0].second, msg::kDamagedEntry);
        EXPECT_FALSE(std::filesystem::exists(out + "/in/big.txt"));
        EXPECT_EQ(ReadFile(out + "/in/sub/small-2"), ReadFile(dir / "in/sub/small-2"));
    }
}

struct CancelAfterFirstChunk : test::RecordingObserver {
    std::function<void()> cancel;
    void BytesDone(int64_t) override { cancel(); }
};

TEST_F(Parallel, CancelStopsBothJobsAndLeavesNothingBehind) {
    EncryptWith(4, "c.vesk");
    CancelAfterFirstChunk cancelling;
    std::stop_source stopEncrypt, stopDecrypt;
    EncryptFilesJob encrypt(cancelling, stopEncrypt.get_token());
    encrypt.SetThreadCount(4);
    cancelling.cancel = [&] { stopEncrypt.request_stop(); };
    EXPECT_EQ(encrypt.Run(items, dir / "cancelled.vesk", key).outcome, JobOutcome::kCancelled);
    EXPECT_FALSE(std::filesystem::exists(dir / "cancelled.vesk"));

    DecryptContainerJob decrypt(cancelling, stopDecrypt.get_token());
    decrypt.SetThreadCount(4);
    cancelling.cancel = [&] { stopDecrypt.request_stop(); };
    std::filesystem::create_directories(dir / "out");
    EXPECT_EQ(decrypt.Run(dir / "c.vesk", dir / "out", key).outcome, JobOutcome::kCancelled);
    EXPECT_TRUE(test::FilesBelow(dir / "out").empty());
    EXPECT_EQ(test::FilesBelow(dir.path()).size(), items.size() + 1);  // inputs and c.vesk
}

TEST_F(Parallel, AnEntryOfTheSameNameWaitsForTheEarlierOneAndIsAskedAbout) {
    test::ContainerBuilder builder(key);
    builder.AddEntry("same.txt", {'1'});
    builder.AddEntry("other.txt", test::PatternBytes(5000));
    builder.AddEntry("same.txt", {'2'});
    WriteFile(dir / "c.vesk", builder.Finish());
    for (int threads : {1, 4}) {
        observer = {};
        observer.answer = {OverwriteChoice::kOverwrite, {}};
        const std::string out = dir / ("out" + std::to_string(threads));
        EXPECT_EQ(DecryptWith(threads, dir / "c.vesk", out).restored, 3);
        EXPECT_EQ(observer.questions, (std::vector<std::string>{out + "/same.txt"}));
        EXPECT_EQ(ReadFile(out + "/same.txt"), (Bytes{'2'}));
        EXPECT_EQ(test::FilesBelow(out), (std::vector<std::string>{"other.txt", "same.txt"}));
    }
}

TEST_F(Parallel, ManySmallFilesAllArriveWhileTheirFlushesOverlap) {
    test::ContainerBuilder builder(key);
    for (int i = 0; i < 150; ++i)
        builder.AddEntry("f" + std::to_string(i), test::PatternBytes(40, i));
    WriteFile(dir / "c.vesk", builder.Finish());
    const DecryptSummary s = DecryptWith(4, dir / "c.vesk", dir / "out");
    EXPECT_EQ(s.restored, 150);
    EXPECT_EQ(test::FilesBelow(dir / "out").size(), 150u);
    EXPECT_EQ(ReadFile(dir / "out/f149"), test::PatternBytes(40, 149));
}

TEST(ParallelBatches, SmallFilesGoTogetherWhateverTheirSizesAndOneDamagedFailsAlone) {
    test::ScratchDir dir;
    test::RecordingObserver observer;
    const Bytes key = test::Key();
    // Runs of small files around records that may not join a batch (a file of several chunks,
    // noise) and highly compressed ones that inflate past what a worker opens per batch.
    std::vector<std::pair<std::string, Bytes>> files;
    const auto small = [&files](int count) {
        for (int i = 0; i < count; ++i) {
            const auto n = static_cast<uint32_t>(files.size());
            files.emplace_back("s/small-" + std::to_string(n), test::PatternBytes(40 + n, n));
        }
    };
    small(20);
    files.emplace_back("big.txt", test::PatternBytes(2 * kChunkSize + 999, 1));
    small(3);
    for (int i = 0; i < 10; ++i) files.emplace_back("z/zeros-" + std::to_string(i), Bytes(1 << 20));
    small(3);
    files.emplace_back("noise.bin", Noise(100'000, 3));
    small(20);
    std::vector<EncryptItem> items;
    for (const auto& [name, data] : files) {
        WriteFile(dir / ("in/" + name), data);
        items.push_back({dir / ("in/" + name), "\\in\\" + name});
    }
    // The same container bytes whichever way the pieces were batched to the workers.
    for (int threads : {1, 4}) {
        EncryptFilesJob encrypt(observer);
        encrypt.SetThreadCount(threads);
        uint8_t counter = 0;
        encrypt.SetFillerSource([&](std::span<uint8_t> filler) {
            for (auto& b : filler) b = counter++;
        });
        const std::string name = "c" + std::to_string(threads) + ".vesk";
        ASSERT_EQ(encrypt.Run(items, dir / name, key).failedFiles, 0);
    }
    ASSERT_EQ(ReadFile(dir / "c1.vesk"), ReadFile(dir / "c4.vesk"));
    std::filesystem::rename(dir / "c4.vesk", dir / "c.vesk");

    // Damage the block behind the name in the fifth small file's only record.
    Bytes container = ReadFile(dir / "c.vesk");
    {
        const ContainerReader reader(dir / "c.vesk");
        EntryCursor entries = reader.Entries();
        EntryExtent extent;
        for (int i = 0; i < 5; ++i) ASSERT_TRUE(entries.Next(extent));
        container[static_cast<std::size_t>(extent.start + 4 + 48)] ^= 0x01;
    }
    WriteFile(dir / "d.vesk", container);
    const std::string damaged = files[4].first;

    for (int threads : {1, 2, 4}) {
        SCOPED_TRACE(threads);
        observer = {};
        const std::string out = dir / ("out" + std::to_string(threads));
        DecryptContainerJob job(observer);
        job.SetThreadCount(threads);
        const DecryptSummary s = job.Run(dir / "d.vesk", out, key);
        EXPECT_EQ(s.restored, static_cast<int>(files.size()) - 1);
        ASSERT_EQ(observer.errors.size(), 1u);
        EXPECT_EQ(observer.errors[0].first, "5");  // its chunk 0 no longer makes sense
        for (const auto& [name, data] : files) {
            if (name == damaged) continue;
            EXPECT_EQ(ReadFile(out + "/in/" + name), data) << name;
        }
    }
}

TEST(StoredStream, NoiseIsStoredAndTextDeflatedBothAsZlibStreams) {
    ZlibCodec codec;
    for (const Bytes& data : {Noise(300'000, 7), test::PatternBytes(300'000, 7), Bytes()}) {
        Bytes stream(codec.CompressBound(data.size()));
        stream.resize(codec.Compress(data, stream));
        ASSERT_FALSE(stream.empty());
        Bytes back(data.size() + 1);
        uLongf length = back.size();
        ASSERT_EQ(uncompress(back.data(), &length, stream.data(), stream.size()), Z_OK);
        back.resize(length);
        EXPECT_EQ(back, data);
    }
    const Bytes noise = Noise(300'000, 8);
    EXPECT_TRUE(codec.LooksIncompressible(noise));
    EXPECT_FALSE(codec.LooksIncompressible(test::PatternBytes(300'000)));
    // Noise with a compressible stretch in the middle is not judged by its start alone.
    Bytes mixed = noise;
    const Bytes text = test::PatternBytes(100'000);
    std::copy(text.begin(), text.end(), mixed.begin() + 100'000);
    EXPECT_FALSE(codec.LooksIncompressible(mixed));
    Bytes stored(StoredZlibSize(noise.size()));
    EXPECT_EQ(WriteStoredZlib(noise, stored), stored.size());
    Bytes viaCodec(codec.CompressBound(noise.size()));
    EXPECT_EQ(codec.Compress(noise, viaCodec), stored.size());
}

TEST(ThreadCount, ForcedCountThenEnvironmentThenHardware) {
    ::setenv("SEALWISE_THREADS", "3", 1);
    EXPECT_EQ(ResolveThreadCount(0), 3);
    EXPECT_EQ(ResolveThreadCount(5), 5);
    EXPECT_EQ(ResolveThreadCount(1000), kMaxWorkerThreads);
    const int hardware = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    for (const char* bad : {"0", "-2", "abc", "4x", ""}) {
        ::setenv("SEALWISE_THREADS", bad, 1);
        EXPECT_EQ(ResolveThreadCount(0), std::min(hardware, kMaxWorkerThreads)) << bad;
    }
    ::unsetenv("SEALWISE_THREADS");
    EXPECT_GE(ResolveThreadCount(0), 1);
}

TEST(OrderedPipeline, HandsBackUnitsInReadingOrderAndRethrowsInOrder) {
    int nextToRead = 0;
    OrderedPipeline<int>::Steps steps;
    steps.read = [&](int& unit) {
        unit = nextToRead;
        return nextToRead++ < 40;
    };
    steps.work = [](int& unit, int) {
        // Early units take longest, so the workers finish out of order.
        std::this_thread::sleep_for(std::chrono::microseconds(200 * (unit % 5)));
        if (unit == 30) throw std::runtime_error("unit 30");
        unit = unit * 10;
    };
    steps.cancelled = [] { return false; };
    OrderedPipeline<int> pipeline(4, 2, steps);
    for (int expected = 0; expected < 30; ++expected) {
        const int* unit = pipeline.Next();
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(*unit, expected * 10);
    }
    EXPECT_THROW(pipeline.Next(), std::runtime_error);
    EXPECT_EQ(*pipeline.Next(), 310);
}

}  // namespace
}  // namespace sealwise
