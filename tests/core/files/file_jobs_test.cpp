// The encrypt and decrypt jobs together: what goes in comes back out, chunk boundaries,
// progress reports, cancel, and failures that must not corrupt or leave anything behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "file_test_support.h"
#include "files/format/container_reader.h"
#include "files/jobs/container_listing.h"
#include "files/jobs/decrypt_container_job.h"
#include "files/jobs/encrypt_files_job.h"

namespace sealwise {
namespace {

using namespace container;
using test::ReadFile;
using test::WriteFile;
using Items = std::vector<EncryptItem>;

struct Jobs : ::testing::Test {
    test::ScratchDir dir;
    test::RecordingObserver observer;
    Bytes key = test::Key();

    EncryptSummary Encrypt(const std::vector<EncryptItem>& items, const std::string& container) {
        EncryptFilesJob job(observer);
        return job.Run(items, container, key);
    }
    DecryptSummary Decrypt(const std::string& container, const std::string& out) {
        std::filesystem::create_directories(out);
        DecryptContainerJob job(observer);
        return job.Run(container, out, key);
    }
    // Cipher lengths of the records of every entry.
    std::vector<std::vector<int64_t>> Records(const std::string& container) {
        ContainerReader reader(container);
        std::vector<std::vector<int64_t>> out;
        EntryCursor entries = reader.Entries();
        for (EntryExtent e; entries.Next(e);) {
            out.emplace_back();
            for (int64_t pos = e.start; pos < e.start + e.size;) {
                const int64_t length = reader.RecordCipherLength(pos, e.start + e.size);
                if (length == 0) break;
                out.back().push_back(length);
                pos += 4 + length;
            }
        }
        return out;
    }
};

TEST_F(Jobs, EmptyFilesGetMarker99AndComeBackEmpty) {
    // Names of 30 and 62 characters: header and name fill whole cipher blocks exactly.
    const std::string n30(26, 'a'), n62(58, 'b');
    WriteFile(dir / (n30 + ".txt"), {});
    WriteFile(dir / (n62 + ".txt"), {});
    Encrypt({{dir / (n30 + ".txt"), "\\"}, {dir / (n62 + ".txt"), "\\"}}, dir / "c.vesk");
    // One record each of 64 and 96 cipher bytes.
    EXPECT_EQ(Records(dir / "c.vesk"), (std::vector<std::vector<int64_t>>{{64}, {96}}));
    CbcEnvelope cipher(key);
    const Bytes container = ReadFile(dir / "c.vesk");
    Bytes plain(64);
    cipher.Decrypt(std::span(container).subspan(4, 64), plain, false);
    EXPECT_EQ(plain[32], 99);
    EXPECT_EQ(plain[33], 30);

    const DecryptSummary s = Decrypt(dir / "c.vesk", dir / "out");
    EXPECT_EQ(s.restored, 2);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / ("out/" + n30 + ".txt")));
    EXPECT_EQ(std::filesystem::file_size(dir / ("out/" + n62 + ".txt")), 0u);
}

TEST_F(Jobs, ChunkBoundariesAndTheirContents) {
    // Names of 10 bytes ("file-N.bin"); E = 34 + 10 + F.
    const int64_t exact = kChunkSize - 44, plusOne = kChunkSize - 43, twoFull = 2 * kChunkSize - 44;
    std::vector<EncryptItem> items;
    for (auto [name, size] :
         {std::pair{"file-1.bin", exact}, {"file-2.bin", plusOne}, {"file-3.bin", twoFull}}) {
        WriteFile(dir / name, test::PatternBytes(static_cast<std::size_t>(size), size));
        items.push_back({dir / name, "\\"});
    }
    Encrypt(items, dir / "c.vesk");
    const auto records = Records(dir / "c.vesk");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].size(), 1u);
    EXPECT_EQ(records[1].size(), 2u);
    EXPECT_EQ(records[2].size(), 2u);

    // The listing reads each chunk's U: chunk 0 of file 3 holds 2,097,108 bytes, chunk 1 a
    // full piece; the sums are the file sizes.
    const auto listed = ListContainer(dir / "c.vesk", key);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].size, exact);
    EXPECT_EQ(listed[1].size, plusOne);
    EXPECT_EQ(listed[2].size, twoFull);

    Decrypt(dir / "c.vesk", dir / "out");
    for (const auto& item : items) {
        const std::string name = item.path.substr(item.path.rfind('/'));
        EXPECT_EQ(ReadFile(dir / ("out" + name)), ReadFile(item.path)) << name;
    }
}

TEST_F(Jobs, DirectoryEntriesCreateTheirDirectoriesAndContainersDiffer) {
    WriteFile(dir / "in/proj/sub/a.txt", test::PatternBytes(1000));
    const std::vector<EncryptItem> items{{dir / "in/proj/sub/a.txt", "\\proj\\sub\\a.txt"}};
    Encrypt(items, dir / "c1.vesk");
    Encrypt(items, dir / "c2.vesk");
    EXPECT_NE(ReadFile(dir / "c1.vesk"), ReadFile(dir / "c2.vesk"));  // random filler
    const DecryptSummary s = Decrypt(dir / "c1.vesk", dir / "out");
    EXPECT_EQ(s.restored, 1);
    EXPECT_EQ(ReadFile(dir / "out/proj/sub/a.txt"), test::PatternBytes(1000));
    EXPECT_EQ(ListContainer(dir / "c1.vesk", key)[0].name, "proj\\sub\\a.txt");
}

TEST_F(Jobs, EncryptingReportsChunksOfOneFileAndFilesOfSeveral) {
    WriteFile(dir / "big", test::PatternBytes(3 * kChunkSize));
    Encrypt({{dir / "big", "\\"}}, dir / "one.vesk");
    EXPECT_EQ(observer.runs, (std::vector<int64_t>{1}));
    // Chunk 0 of 4 as the file begins, then each chunk enciphered.
    const std::vector<std::pair<int64_t, int64_t>> chunks{{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}};
    EXPECT_EQ(observer.itemProgress, chunks);
    EXPECT_EQ(observer.finished, (std::vector<ItemResult>{{0, ItemOutcome::kDone}}));
    EXPECT_EQ(observer.runOutcomes, (std::vector<JobOutcome>{JobOutcome::kCompleted}));

    observer = {};
    std::vector<EncryptItem> items;
    std::vector<ItemResult> expected;
    for (int i = 0; i < 8; ++i) {
        WriteFile(dir / ("f" + std::to_string(i)), test::PatternBytes(10, i));
        items.push_back({dir / ("f" + std::to_string(i)), "\\"});
        expected.push_back({i, ItemOutcome::kDone});
    }
    Encrypt(items, dir / "eight.vesk");
    EXPECT_EQ(observer.runs, (std::vector<int64_t>{8}));
    EXPECT_EQ(observer.finished, expected);
    EXPECT_EQ(observer.runOutcomes, (std::vector<JobOutcome>{JobOutcome::kCompleted}));
}

// Reads a file normally but fails after its first chunk.
struct FailingSource : InputSource {
    std::unique_ptr<InputSource> inner;
    int reads = 0;
    int64_t Size() const override { return inner->Size(); }
    std::size_t Read(std::span<uint8_t> out) override {
        if (++reads == 2) throw SealError(Msg::SystemError, "Input/output error", "injected");
        return inner->Read(out);
    }
};

TEST_F(Jobs, AFileFailingHalfWayIsCutOutAndTheOthersRestore) {
    WriteFile(dir / "a", test::PatternBytes(5000, 1));
    WriteFile(dir / "b", test::PatternBytes(3 * kChunkSize, 2));
    WriteFile(dir / "c", test::PatternBytes(7000, 3));
    EncryptFilesJob job(observer);
    job.SetInputOpener([&](const std::string& path) -> std::unique_ptr<InputSource> {
        auto source = OpenInputFile(path);
        if (path != dir / "b") return source;
        auto failing = std::make_unique<FailingSource>();
        failing->inner = std::move(source);
        return failing;
    });
    const EncryptSummary s = job.Run(Items{{dir / "a", "\\"}, {dir / "b", "\\"}, {dir / "c", "\\"}},
                                     dir / "c.vesk", key);
    EXPECT_EQ(s.failedFiles, 1);
    EXPECT_EQ(s.storedSizes[1], 0);
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0], (std::pair<std::string, Msg>{dir / "b", Msg::SystemError}));
    EXPECT_EQ(s.containerSize, static_cast<int64_t>(std::filesystem::file_size(dir / "c.vesk")));
    EXPECT_EQ(observer.finished,
              (std::vector<ItemResult>{
                  {0, ItemOutcome::kDone}, {1, ItemOutcome::kFailed}, {2, ItemOutcome::kDone}}));

    observer = {};
    const DecryptSummary d = Decrypt(dir / "c.vesk", dir / "out");
    EXPECT_EQ(d.restored, 2);
    EXPECT_EQ(d.emptyRecords, 1);
    EXPECT_TRUE(observer.errors.empty());
    // The empty record counts in the run but is no item the job handles.
    EXPECT_EQ(observer.runs, (std::vector<int64_t>{3}));
    EXPECT_EQ(observer.finished,
              (std::vector<ItemResult>{{0, ItemOutcome::kDone}, {2, ItemOutcome::kDone}}));
    EXPECT_EQ(test::FilesBelow(dir / "out"), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(ReadFile(dir / "out/c"), test::PatternBytes(7000, 3));
}

struct CancelOnSecondFile : test::RecordingObserver {
    std::stop_source stop;
    int started = 0;
    void ItemStarted(const std::string&, int64_t) override {
        if (++started == 2) stop.request_stop();
    }
};

TEST_F(Jobs, CancelLeavesTheOldContainerAndNoTemporaryFiles) {
    WriteFile(dir / "a", test::PatternBytes(100));
    WriteFile(dir / "b", test::PatternBytes(100));
    WriteFile(dir / "c.vesk", {'o', 'l', 'd'});
    CancelOnSecondFile cancelling;
    EncryptFilesJob job(cancelling, cancelling.stop.get_token());
    EXPECT_EQ(job.Run(Items{{dir / "a", "\\"}, {dir / "b", "\\"}}, dir / "c.vesk", key).outcome,
              JobOutcome::kCancelled);
    EXPECT_EQ(ReadFile(dir / "c.vesk"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(test::FilesBelow(dir.path()), (std::vector<std::string>{"a", "b", "c.vesk"}));

    // The cancel request ends with its job: the next run works and replaces the old file.
    std::stop_source nextRun;
    EncryptFilesJob next(observer, nextRun.get_token());
    EXPECT_EQ(next.Run(Items{{dir / "a", "\\"}, {dir / "b", "\\"}}, dir / "c.vesk", key).outcome,
              JobOutcome::kCompleted);
    EXPECT_EQ(ListContainer(dir / "c.vesk", key).size(), 2u);
}

TEST_F(Jobs, RunFailuresLeaveNothingAndBadInputsAreReported) {
    EXPECT_THROW(Encrypt({}, dir / "c.vesk"), SealError);
    WriteFile(dir / "a", test::PatternBytes(100));
    // A missing directory for the container: nothing is created anywhere.
    EXPECT_THROW(Encrypt({{dir / "a", "\\"}}, dir / "missing/c.vesk"), SealError);
    // A missing input and a FIFO are reported per file; the run goes on.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const EncryptSummary s =
        Encrypt({{dir / "nope", "\\"}, {dir / "fifo", "\\"}, {dir / "a", "\\"}}, dir / "c.vesk");
    EXPECT_EQ(s.failedFiles, 2);
    ASSERT_EQ(observer.errors.size(), 2u);
    EXPECT_EQ(observer.errors[0].second, Msg::SystemError);
    EXPECT_EQ(observer.errors[1].second, Msg::NotRegularFile);
    // A file that would make an entry of 2 GiB is refused before anything is read.
    struct HugeSource : InputSource {
        int64_t Size() const override { return kMaxSize - 34; }  // E = 2^31 with N = 1
        std::size_t Read(std::span<uint8_t>) override { throw std::logic_error("read"); }
    };
    observer = {};
    EncryptFilesJob huge(observer);
    huge.SetInputOpener([](const std::string&) { return std::make_unique<HugeSource>(); });
    // Nothing stored: no container at all.
    EXPECT_THROW(huge.Run({{dir / "a", "\\"}}, dir / "h.vesk", key), SealError);
    EXPECT_FALSE(std::filesystem::exists(dir / "h.vesk"));
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0].second, Msg::FileTooLarge);
    // A relative name over 255 bytes cannot be stored.
    observer = {};
    Encrypt({{dir / "a", std::string(300, 'n')}, {dir / "a", "\\"}}, dir / "d.vesk");
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0].second, Msg::NameTooLong);
}

TEST_F(Jobs, ExistingFilesAreReplacedOnlyAsTheObserverAnswers) {
    WriteFile(dir / "a.txt", test::PatternBytes(50, 1));
    Encrypt({{dir / "a.txt", "\\"}}, dir / "c.vesk");
    const Bytes longOld = test::PatternBytes(5000, 9);
    WriteFile(dir / "out/a.txt", longOld);

    observer = {};
    observer.answer = {OverwriteChoice::kSkip, {}};
    EXPECT_EQ(Decrypt(dir / "c.vesk", dir / "out").skipped, 1);
    EXPECT_EQ(observer.questions, (std::vector<std::string>{dir / "out/a.txt"}));
    EXPECT_EQ(observer.finished, (std::vector<ItemResult>{{0, ItemOutcome::kSkipped}}));
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), longOld);

    // Another name: the old file stays, the new one is written there.
    observer.answer = {OverwriteChoice::kRename, dir / "out/other.txt"};
    EXPECT_EQ(Decrypt(dir / "c.vesk", dir / "out").restored, 1);
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), longOld);
    EXPECT_EQ(ReadFile(dir / "out/other.txt"), test::PatternBytes(50, 1));

    // Yes: replaced completely, nothing of the longer old content survives.
    observer.answer = {OverwriteChoice::kOverwrite, {}};
    EXPECT_EQ(Decrypt(dir / "c.vesk", dir / "out").restored, 1);
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), test::PatternBytes(50, 1));
    EXPECT_EQ(test::FilesBelow(dir / "out"), (std::vector<std::string>{"a.txt", "other.txt"}));
}

TEST_F(Jobs, RestoringReportsTheBytesOfEachEntryRecordByRecord) {
    WriteFile(dir / "big", test::PatternBytes(3 * kChunkSize));
    Encrypt({{dir / "big", "\\"}}, dir / "c.vesk");
    const std::vector<int64_t> records = Records(dir / "c.vesk")[0];
    ASSERT_EQ(records.size(), 4u);
    int64_t size = 0;
    for (int64_t length : records) size += 4 + length;
    // Nothing of the entry at its start, then the bytes read after each record.
    std::vector<std::pair<int64_t, int64_t>> expected{{0, size}};
    int64_t consumed = 0;
    for (int64_t length : records) expected.emplace_back(consumed += 4 + length, size);

    observer = {};
    Decrypt(dir / "c.vesk", dir / "out");
    EXPECT_EQ(observer.runs, (std::vector<int64_t>{1}));
    EXPECT_EQ(observer.itemProgress, expected);
    EXPECT_EQ(observer.finished, (std::vector<ItemResult>{{0, ItemOutcome::kDone}}));
    EXPECT_EQ(observer.runOutcomes, (std::vector<JobOutcome>{JobOutcome::kCompleted}));
}

struct CancelDuringRestore : test::RecordingObserver {
    std::stop_source stop;
    int64_t bytes = 0;
    void BytesDone(int64_t n) override {
        if ((bytes += n) > 0) stop.request_stop();
    }
};

TEST_F(Jobs, CancelledRestoreLeavesNoPartialFile) {
    WriteFile(dir / "big", test::PatternBytes(3 * kChunkSize));
    Encrypt({{dir / "big", "\\"}}, dir / "c.vesk");
    WriteFile(dir / "out/big", {'o', 'l', 'd'});
    CancelDuringRestore cancelling;
    cancelling.answer = {OverwriteChoice::kOverwrite, {}};
    DecryptContainerJob job(cancelling, cancelling.stop.get_token());
    EXPECT_EQ(job.Run(dir / "c.vesk", dir / "out", key).outcome, JobOutcome::kCancelled);
    EXPECT_EQ(cancelling.runOutcomes, (std::vector<JobOutcome>{JobOutcome::kCancelled}));
    EXPECT_EQ(test::FilesBelow(dir / "out"), (std::vector<std::string>{"big"}));
    EXPECT_EQ(ReadFile(dir / "out/big"), (Bytes{'o', 'l', 'd'}));
}

TEST_F(Jobs, AMissingOutputDirectoryIsMadeOnlyOnceTheKeyHasProvedRight) {
    WriteFile(dir / "a", test::PatternBytes(100));
    Encrypt({{dir / "a", "\\"}}, dir / "c.vesk");
    DecryptContainerJob wrong(observer);
    try {
        wrong.Run(dir / "c.vesk", dir / "new/out", test::Key(0x33));
        ADD_FAILURE() << "a wrong key restored something";
    } catch (const SealError& error) {
        EXPECT_EQ(error.stringId(), Msg::WrongPassword);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "new"));
    DecryptContainerJob right(observer);
    EXPECT_EQ(right.Run(dir / "c.vesk", dir / "new/out", key).restored, 1);
    EXPECT_EQ(ReadFile(dir / "new/out/a"), test::PatternBytes(100));
}

TEST_F(Jobs, ACancelledRestoreRemovesTheDirectoriesItMadeUnlessTheyHoldRestoredFiles) {
    // Stored names must end the inputs' paths: the inputs live in a tree of their own.
    std::filesystem::create_directories(dir / "src/kept");
    std::filesystem::create_directories(dir / "src/deep/er");
    WriteFile(dir / "src/kept/small", test::PatternBytes(100));
    WriteFile(dir / "src/deep/er/big", test::PatternBytes(3 * kChunkSize));
    Encrypt({{dir / "src/kept/small", "kept\\small"}, {dir / "src/deep/er/big", "deep\\er\\big"}},
            dir / "c.vesk");
    std::filesystem::remove_all(dir / "src");
    struct Case {
        std::string out;                    // made by the run when missing
        std::vector<std::string> existing;  // what is left below dir afterwards
    };
    const Case cases[] = {
        {"made/by/run", {"existing", "made", "made/by", "made/by/run", "made/by/run/kept"}},
        {"existing", {"existing", "existing/kept"}},
    };
    std::filesystem::create_directories(dir / "existing");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        // Cancelled while the big file, in directories of its own, is half restored.
        struct CancelInBigFile : test::RecordingObserver {
            std::stop_source stop;
            std::string current;
            void ItemStarted(const std::string& name, int64_t) override { current = name; }
            void BytesDone(int64_t) override {
                if (current.ends_with("big")) stop.request_stop();
            }
        } cancelling;
        DecryptContainerJob job(cancelling, cancelling.stop.get_token());
        EXPECT_EQ(job.Run(dir / "c.vesk", dir / c.out, key).outcome, JobOutcome::kCancelled);
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path())) {
            if (e.is_directory()) left.push_back(std::filesystem::relative(e.path(), dir.path()));
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.existing);
        EXPECT_EQ(ReadFile(dir / (c.out + "/kept/small")), test::PatternBytes(100));
        std::filesystem::remove_all(dir / "made");
        std::filesystem::remove_all(dir / "existing/kept");
    }
}

}  // namespace
}  // namespace sealwise
