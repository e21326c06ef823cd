#include "modern/modern_jobs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <stop_token>

#include "../files/file_test_support.h"
#include "app/msg.h"
#include "core/modern/modern_test_keys.h"
#include "core/test_util.h"
#include "modern/modern_text.h"

namespace sealwise::modern {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

ModernWriteOptions CheapOptions() {
    ModernWriteOptions options;
    options.cost = kTestCost;
    return options;
}

// Counts progress and errors; asks to cancel once cancelAfterBytes have been reported.
struct Observer : FileJobObserver {
    void ReportError(const std::string& item, const SealError& error) override {
        errors.push_back({item, error.stringId()});
    }
    void ItemStarted(const std::string&, int64_t) override { ++items; }
    void BytesDone(int64_t bytes) override {
        done += bytes;
        if (cancelAfterBytes >= 0 && done >= cancelAfterBytes) cancel.request_stop();
    }
    std::vector<std::pair<std::string, Msg>> errors;
    int items = 0;
    int64_t done = 0;
    int64_t cancelAfterBytes = -1;
    std::stop_source cancel;
};

TEST(ModernJobs, ContainerFormatComesFromTheFirstBytes) {
    ScratchDir dir;
    WriteFile(dir / "in/a.txt", test::PatternBytes(1000));
    Observer observer;
    EncryptModernContainer({dir / "in/a.txt"}, dir / "m.vesk", kTestKeys, CheapOptions(), observer);
    WriteFile(dir / "short", Bytes{'S', 'E', 'A', 'L', 'W', 'I', 'S'});
    WriteFile(dir / "classic", Bytes(64, 0x1F));
    WriteFile(dir / "empty", {});
    const struct {
        const char* name;
        StoredFormat format;
    } cases[] = {
        {"m.vesk", StoredFormat::kModern},   {"short", StoredFormat::kClassic},
        {"classic", StoredFormat::kClassic}, {"empty", StoredFormat::kClassic},
        {"missing", StoredFormat::kClassic},
    };
    for (const auto& c : cases) EXPECT_EQ(DetectContainerFormat(dir / c.name), c.format) << c.name;
}

TEST(ModernJobs, TextFormatComesFromTheArmourLines) {
    const std::string armour = SealText("Pay Bob 100 EUR", kTestKeys, kTestCost);
    std::string beginDamaged = armour, endDamaged = armour;
    beginDamaged[3] = 'x';
    endDamaged[endDamaged.size() - 5] = 'x';
    const struct {
        const char* what;
        std::string text;
        StoredFormat format;
    } cases[] = {
        {"armour", armour, StoredFormat::kModern},
        {"armour, first line damaged", beginDamaged, StoredFormat::kModern},
        {"armour, last line damaged", endDamaged, StoredFormat::kModern},
        {"classic text", "3pNb+Y8d0Qx1k2l1XJr0Vw==\r\n", StoredFormat::kClassic},
        {"nothing", "", StoredFormat::kClassic},
    };
    for (const auto& c : cases) EXPECT_EQ(DetectTextFormat(c.text), c.format) << c.what;
}

TEST(ModernJobs, SharedKeysTakeTheTypedKeyAndRefuseGaps) {
    SharedKeyStore store;
    store.slots[0] = "erster";
    store.slots[1] = "stale";
    store.slots[2] = "third";
    store.keyShown = 2;
    store.passphraseBox = "second";
    const struct {
        const char* count;
        int emptySlot;  // -1: none
        std::vector<std::string> keys;
        int error;  // 0: none
    } cases[] = {
        {"3", -1, {"erster", "second", "third"}, 0},
        {"2", -1, {"erster", "second"}, 0},
        {"3", 2, {}, 386},
        {"1", -1, {}, 385},
        {"11", -1, {}, 385},
        {"zwei", -1, {}, 385},
    };
    for (const auto& c : cases) {
        SharedKeyStore input = store;
        input.countText = c.count;
        if (c.emptySlot >= 0) input.slots[c.emptySlot].clear();
        try {
            EXPECT_EQ(SharedKeysForModern(input), c.keys) << c.count;
            EXPECT_EQ(c.error, 0) << c.count;
        } catch (const SealError& error) {
            EXPECT_EQ(static_cast<int>(error.stringId()), c.error) << c.count;
        }
    }
}

TEST(ModernJobs, ContainerRoundTripReportsProgressOfEveryByte) {
    ScratchDir dir;
    WriteFile(dir / "in/tree/a.txt", test::PatternBytes(3 * kPieceSize / 2));
    WriteFile(dir / "in/tree/sub/b.txt", test::PatternBytes(999, 5));
    Observer writing, reading;
    const ModernWriteSummary written = EncryptModernContainer({dir / "in/tree"}, dir / "m.vesk",
                                                              kTestKeys, CheapOptions(), writing);
    EXPECT_EQ(written.outcome, JobOutcome::kCompleted);
    EXPECT_EQ(written.entries, 4);
    EXPECT_EQ(writing.done, 3 * kPieceSize / 2 + 999);
    const ModernRestoreSummary restored =
        DecryptModernContainer(dir / "m.vesk", dir / "out", kTestKeys, reading);
    EXPECT_EQ(restored.outcome, JobOutcome::kCompleted);
    EXPECT_EQ(restored.restored, 4);
    EXPECT_TRUE(reading.errors.empty());
    EXPECT_EQ(reading.done, writing.done);
    EXPECT_EQ(ReadFile(dir / "out/tree/a.txt"), ReadFile(dir / "in/tree/a.txt"));
    EXPECT_EQ(ReadFile(dir / "out/tree/sub/b.txt"), ReadFile(dir / "in/tree/sub/b.txt"));
}

// Small files travel in batches and through small buffers, a piece as large as a batch alone:
// sizes around those limits, in runs that start and end batches anywhere, come back whole and in
// order, with every started item and every byte reported.
TEST(ModernJobs, SmallAndLargeFilesMixedComeBackWhole) {
    const std::vector<std::size_t> sizes{0,
                                         1,
                                         64 * 1024,
                                         64 * 1024 + 1,
                                         256 << 10,
                                         (256 << 10) - 1,
                                         300 * 1000,
                                         kPieceSize,
                                         kPieceSize + 1,
                                         7,
                                         5000,
                                         2 * kPieceSize + 3};
    ScratchDir dir;
    std::mt19937 rng(11);
    std::vector<std::string> names;
    std::size_t total = 0;
    for (int run = 0; run < 3; ++run) {
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            // Random data is stored, patterned data packed: both kinds of record.
            const std::size_t size = sizes[(i + run * 5) % sizes.size()];
            const std::string name = "tree/f" + std::to_string(run) + "-" + std::to_string(i);
            WriteFile(dir / ("in/" + name),
                      i % 2 ? test::RandomBytes(rng, size) : test::PatternBytes(size, i));
            names.push_back(name);
            total += size;
        }
    }
    for (int i = 0; i < 100; ++i) {
        const std::string name = "tree/many/m" + std::to_string(i);
        WriteFile(dir / ("in/" + name), test::PatternBytes(static_cast<std::size_t>(i) * 37, i));
        names.push_back(name);
        total += static_cast<std::size_t>(i) * 37;
    }
    Observer writing, reading;
    const ModernWriteSummary written = EncryptModernContainer({dir / "in/tree"}, dir / "m.vesk",
                                                              kTestKeys, CheapOptions(), writing);
    EXPECT_EQ(written.entries, static_cast<int>(names.size()) + 2);  // and two directories
    EXPECT_EQ(writing.items, written.entries);
    EXPECT_EQ(writing.done, static_cast<int64_t>(total));
    const ModernRestoreSummary restored =
        DecryptModernContainer(dir / "m.vesk", dir / "out", kTestKeys, reading);
    EXPECT_EQ(restored.restored, written.entries);
    EXPECT_TRUE(reading.errors.empty());
    EXPECT_EQ(reading.done, writing.done);
    for (const std::string& name : names) {
        EXPECT_EQ(ReadFile(dir / ("out/" + name)), ReadFile(dir / ("in/" + name))) << name;
    }
}

// A file whose size changes after the walk recorded it (here while the walk reports a special
// file behind it) cannot be stored truthfully: the run fails on it, whichever piece sees the
// change, and the old container stays.
TEST(ModernJobs, AFileThatChangesSizeWhileStoredFailsTheRun) {
    const std::size_t big = kPieceSize + 1000;
    const struct {
        std::size_t before, after;
    } cases[] = {{0, 1},     {100, 0},       {100, 99},      {100, 101},
                 {big, 100}, {big, big - 1}, {big, big + 1}, {2 * kPieceSize, 2 * kPieceSize + 1}};
    for (const auto& c : cases) {
        const std::string label = std::to_string(c.before) + " -> " + std::to_string(c.after);
        ScratchDir dir;
        WriteFile(dir / "in/a.bin", test::PatternBytes(c.before));
        ASSERT_EQ(::mkfifo((dir / "in/b.fifo").c_str(), 0600), 0);
        WriteFile(dir / "m.vesk", Bytes{'o', 'l', 'd'});
        struct Resizing : Observer {
            void ReportError(const std::string& item, const SealError& error) override {
                Observer::ReportError(item, error);
                fs::resize_file(file, size);
            }
            std::string file;
            std::size_t size = 0;
        } observer;
        observer.file = dir / "in/a.bin";
        observer.size = c.after;
        try {
            EncryptModernContainer({dir / "in/a.bin", dir / "in/b.fifo"}, dir / "m.vesk", kTestKeys,
                                   CheapOptions(), observer);
            ADD_FAILURE() << label << ": stored";
        } catch (const SealError& error) {
            EXPECT_EQ(error.stringId(), Msg::FileChanged) << label;
        }
        EXPECT_EQ(ReadFile(dir / "m.vesk"), (Bytes{'o', 'l', 'd'})) << label;
        ASSERT_EQ(observer.errors.size(), 1u) << label;
        EXPECT_EQ(observer.errors[0].second, Msg::NotRegularFile) << label;
    }
}

TEST(ModernJobs, CancelledEncryptionLeavesTheOldContainer) {
    ScratchDir dir;
    WriteFile(dir / "in/big.bin", test::PatternBytes(4 * kPieceSize));
    WriteFile(dir / "m.vesk", Bytes{'o', 'l', 'd'});
    Observer observer;
    observer.cancelAfterBytes = 1;
    const ModernWriteSummary summary =
        EncryptModernContainer({dir / "in/big.bin"}, dir / "m.vesk", kTestKeys, CheapOptions(),
                               observer, observer.cancel.get_token());
    EXPECT_EQ(summary.outcome, JobOutcome::kCancelled);
    EXPECT_EQ(ReadFile(dir / "m.vesk"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// Cancelled part way through a file's pieces: the file never gets its name and its temporary
// file is gone.
TEST(ModernJobs, CancelledDecryptionLeavesNoPartOfTheFile) {
    ScratchDir dir;
    WriteFile(dir / "in/big.bin", test::PatternBytes(4 * kPieceSize));
    Observer writing;
    EncryptModernContainer({dir / "in/big.bin"}, dir / "m.vesk", kTestKeys, CheapOptions(),
                           writing);
    Observer reading;
    reading.cancelAfterBytes = 1;
    const ModernRestoreSummary summary = DecryptModernContainer(
        dir / "m.vesk", dir / "out", kTestKeys, reading, reading.cancel.get_token());
    EXPECT_EQ(summary.outcome, JobOutcome::kCancelled);
    EXPECT_EQ(summary.restored, 0);
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST(ModernJobs, NamedInputsKeepTheirNamesAndNoEntryReplacesNothing) {
    ScratchDir dir;
    WriteFile(dir / "in/a.txt", test::PatternBytes(100));
    Observer observer;
    const std::vector<NamedInput> named{{dir / "in/a.txt", "docs/renamed.txt"}};
    EncryptModernContainer(named, dir / "m.vesk", kTestKeys, CheapOptions(), observer);
    DecryptModernContainer(dir / "m.vesk", dir / "out", kTestKeys, observer);
    EXPECT_EQ(ReadFile(dir / "out/docs/renamed.txt"), ReadFile(dir / "in/a.txt"));

    // Every input fails: the old container stays.
    WriteFile(dir / "old.vesk", Bytes{'o', 'l', 'd'});
    const std::vector<NamedInput> unreadable{{dir / "in/missing.txt", "missing.txt"}};
    try {
        EncryptModernContainer(unreadable, dir / "old.vesk", kTestKeys, CheapOptions(), observer);
        ADD_FAILURE() << "no error";
    } catch (const SealError& error) {
        EXPECT_EQ(error.stringId(), Msg::NothingStored);
    }
    EXPECT_EQ(ReadFile(dir / "old.vesk"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(observer.errors.size(), 1u);
}

TEST(ModernJobs, WrongPassphraseThrowsBeforeTheOutputDirectoryIsMade) {
    ScratchDir dir;
    WriteFile(dir / "in/a.txt", test::PatternBytes(10));
    Observer observer;
    EncryptModernContainer({dir / "in/a.txt"}, dir / "m.vesk", kTestKeys, CheapOptions(), observer);
    const std::vector<std::string> wrong{"correct horse battery stapler"};
    try {
        DecryptModernContainer(dir / "m.vesk", dir / "out", wrong, observer);
        ADD_FAILURE() << "no error";
    } catch (const SealError& error) {
        EXPECT_EQ(error.stringId(), Msg::ModernWrongPassphrase);
    }
    EXPECT_FALSE(fs::exists(dir / "out"));
}

}  // namespace
}  // namespace sealwise::modern
