// Containers that no honest writer makes: hostile names, damaged data, wrong keys, truncation.
// The reader must refuse each clearly, write nothing outside the output directory, and never
// leave junk or partial files.
#include <gtest/gtest.h>

#include <optional>

#include "app/msg.h"
#include "core/test_util.h"
#include "file_test_support.h"
#include "files/format/entry_probe.h"
#include "files/jobs/container_listing.h"
#include "files/jobs/decrypt_container_job.h"

namespace sealwise {
namespace {

using test::ContainerBuilder;
using test::ReadFile;
using test::WriteFile;

struct Hostile : ::testing::Test {
    test::ScratchDir dir;
    test::RecordingObserver observer;
    Bytes key = test::Key();
    ContainerBuilder builder{key};

    std::string Out() { return dir / "out"; }

    DecryptSummary Decrypt(const Bytes& container, const Bytes& withKey) {
        WriteFile(dir / "c.vesk", container);
        std::filesystem::create_directories(Out());
        DecryptContainerJob job(observer);
        return job.Run(dir / "c.vesk", Out(), withKey);
    }
    DecryptSummary Decrypt() { return Decrypt(builder.Finish(), key); }

    std::optional<Msg> ErrorIdOf(const std::function<void()>& run) {
        try {
            run();
        } catch (const SealError& e) {
            return e.stringId();
        }
        return std::nullopt;
    }
};

TEST_F(Hostile, NamesLeadingOutsideAreRefusedAndTheOthersRestored) {
    builder.AddEntry("ok1.txt", {'1'});
    for (const std::string& name : std::vector<std::string>{
             "..\\..\\x", "/etc/x", "\\x", "C:\\x", "c:x", "a\\..\\..\\x", "a/../x", ".\\x",
             "a\\\\x", "a\\", "", std::string("a\0b", 3), "a\nb", "dir\\\x1b[2Jx"}) {
        builder.AddEntry(name, {'x'});
    }
    builder.AddEntry("sub\\ok2.txt", {'2'});
    const DecryptSummary s = Decrypt();
    EXPECT_EQ(s.restored, 2);
    EXPECT_EQ(s.failed, 14);
    for (const auto& [item, id] : observer.errors) EXPECT_EQ(id, Msg::UnsafeEntryName) << item;
    // The escape sequence is shown escaped, not sent to the terminal.
    EXPECT_EQ(observer.errors.back().first, "dir/\\x1B[2Jx");
    EXPECT_EQ(test::FilesBelow(Out()), (std::vector<std::string>{"ok1.txt", "sub/ok2.txt"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

TEST_F(Hostile, SymbolicLinksInTheOutputAreNotFollowed) {
    std::filesystem::create_directories(dir / "elsewhere");
    std::filesystem::create_directories(Out());
    std::filesystem::create_directory_symlink(dir / "elsewhere", Out() + "/link");
    std::filesystem::create_symlink(dir / "elsewhere/target", Out() + "/file-link");
    WriteFile(dir / "elsewhere/target", {'k', 'e', 'e', 'p'});
    builder.AddEntry("link\\x.txt", {'x'});
    builder.AddEntry("file-link", {'n', 'e', 'w'});
    observer.answer = {OverwriteChoice::kOverwrite, {}};
    const DecryptSummary s = Decrypt();
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0].second, Msg::PathNotDirectory);
    EXPECT_EQ(s.restored, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere/x.txt"));
    // Overwriting replaces the link itself; its target stays as it was.
    EXPECT_FALSE(std::filesystem::is_symlink(Out() + "/file-link"));
    EXPECT_EQ(ReadFile(Out() + "/file-link"), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(ReadFile(dir / "elsewhere/target"), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(Hostile, WrongPassphraseCreatesNoFiles) {
    builder.AddEntry("proj\\a.txt", test::PatternBytes(500));
    builder.AddEntry("b.txt", {});
    const Bytes container = builder.Finish();
    for (uint8_t wrong = 1; wrong < 40; ++wrong) {
        observer = {};
        EXPECT_EQ(ErrorIdOf([&] { Decrypt(container, test::Key(wrong)); }), Msg::WrongPassword)
            << int(wrong);
        EXPECT_TRUE(test::FilesBelow(Out()).empty());
        EXPECT_TRUE(std::filesystem::is_empty(Out()));
    }
    EXPECT_EQ(ErrorIdOf([&] { ListContainer(dir / "c.vesk", test::Key(1)); }), Msg::WrongPassword);
}

TEST_F(Hostile, DamagedDataIsReportedAndNeverWritten) {
    // A block whose stream inflates to less than U: no file, not even an empty one.
    Bytes block = CompressBlock(test::PatternBytes(300), builder.codec());
    PutInt32Le(block.data() + 4, 400);
    builder.AddRawEntry(ContainerBuilder::ChunkZero("short.txt", block, 0));
    // U beyond any chunk: refused before anything is allocated.
    PutInt32Le(block.data() + 4, 0x7FFFFFF0);
    builder.AddRawEntry(ContainerBuilder::ChunkZero("huge.txt", block, 0));
    builder.AddEntry("good.txt", {'g'});
    // Once the key has proven right, a chunk 0 that makes no sense is damage, not a wrong key.
    builder.AddRawEntry(ContainerBuilder::ChunkZero("junk.txt", {1, 2, 3}, 5));
    const DecryptSummary s = Decrypt();
    EXPECT_EQ(s.restored, 1);
    EXPECT_EQ(s.failed, 3);
    ASSERT_EQ(observer.errors.size(), 3u);
    EXPECT_EQ(observer.errors[0].second, Msg::DamagedEntry);
    EXPECT_EQ(observer.errors[1].second, Msg::DamagedEntry);
    EXPECT_EQ(observer.errors[2], (std::pair<std::string, Msg>{"4", Msg::DamagedEntryNumber}));
    EXPECT_EQ(test::FilesBelow(Out()), (std::vector<std::string>{"good.txt"}));
}

TEST_F(Hostile, ImpossibleRecordLengthsAreRefused) {
    builder.AddEntry("a.txt", {'a'});
    builder.AddEntry("b.txt", {'b'});
    Bytes container = builder.Finish();
    PutInt32Le(container.data(), 0x7FFFFFFE);  // L + 1 far beyond a chunk and the entry
    const DecryptSummary s = Decrypt(container, key);
    EXPECT_EQ(s.restored, 1);
    EXPECT_EQ(observer.errors[0].second, Msg::DamagedEntryNumber);
    observer = {};
    std::filesystem::remove_all(Out());
    PutInt32Le(container.data(), 32);  // 33 cipher bytes: not whole blocks
    EXPECT_EQ(Decrypt(container, key).restored, 1);
    EXPECT_EQ(observer.errors.size(), 1u);
}

TEST_F(Hostile, EmptyRecordsKeepTheReadersPlace) {
    builder.AddEmptyRecord();
    builder.AddEntry("a.txt", {'a'});
    builder.AddEmptyRecord();
    builder.AddEntry("b.txt", {'b'});
    const DecryptSummary s = Decrypt();
    EXPECT_EQ(s.entries, 4);
    EXPECT_EQ(s.emptyRecords, 2);
    EXPECT_EQ(test::FilesBelow(Out()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(ListContainer(dir / "c.vesk", key).size(), 2u);
}

TEST_F(Hostile, ContainersWithoutUsableContent) {
    EXPECT_EQ(ErrorIdOf([&] { Decrypt({1, 2, 3}, key); }), Msg::NoUsableContent);
    EXPECT_EQ(ErrorIdOf([&] { Decrypt(Bytes(500, 7), key); }), Msg::NoUsableContent);
    EXPECT_EQ(ErrorIdOf([&] { Decrypt({0xFF, 1, 2, 3}, key); }), Msg::NoUsableContent);
    // Truncated containers: the tail no longer holds the index the entries need.
    builder.AddEntry("a.txt", test::PatternBytes(5000));
    builder.AddEntry("b.txt", test::PatternBytes(6000));
    const Bytes whole = builder.Finish();
    for (std::size_t cut : {1u, 2u, 40u, 1000u}) {
        const Bytes truncated(whole.begin(), whole.end() - static_cast<long>(cut));
        const std::optional<Msg> id = ErrorIdOf([&] { Decrypt(truncated, key); });
        EXPECT_TRUE(id == Msg::DamagedContainer || id == Msg::NoUsableContent) << cut;
    }
    EXPECT_TRUE(test::FilesBelow(Out()).empty());
}

// A file that failed after its first chunk, as a writer that keeps going leaves it: the chunk
// stays in the container and the index records size 0. Returns the bytes it left.
std::size_t AddPartialFile(ContainerBuilder& b) {
    const std::size_t before = b.size();
    const std::string name = "big.bin";
    const Bytes piece(static_cast<std::size_t>(container::kChunkSize) - 34 - name.size(), 0);
    b.AppendRecord(ContainerBuilder::ChunkZero(name, CompressBlock(piece, b.codec()), 0), false);
    b.AddEmptyRecord();
    return b.size() - before;
}

TEST_F(Hostile, EntriesAreLocatedFromTheStartByTheSizesAlone) {
    // 'a', 'b', 'c': small entries; '0': a file that failed half way.
    struct Case {
        std::string layout;
        std::vector<std::string> restored;
        std::vector<std::pair<std::string, Msg>> errors;
    };
    const Case cases[] = {
        // Index [a, b, 0]: the left bytes lie behind the last entry; every entry restores.
        {"ab0", {"a", "b"}, {}},
        {"a00", {"a"}, {}},
        // Index [a, 0, c]: summed sizes put entry 3 on the failed file's chunk, which does not
        // fit there; it fails alone (nothing is written under either name).
        {"a0c", {"a"}, {{"3", Msg::DamagedEntryNumber}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        ContainerBuilder b(key);
        std::size_t left = 0;
        for (char item : c.layout) {
            if (item == '0') {
                left += AddPartialFile(b);
            } else {
                b.AddEntry(std::string(1, item), {static_cast<uint8_t>(item)});
            }
        }
        observer = {};
        std::filesystem::remove_all(Out());
        const DecryptSummary s = Decrypt(b.Finish(), key);
        EXPECT_EQ(test::FilesBelow(Out()), c.restored);
        EXPECT_EQ(observer.errors, c.errors);
        // The left bytes are named, and the run goes on.
        EXPECT_EQ(observer.notices,
                  (std::vector<Message>{{Msg::UnaccountedBytes, std::to_string(left)}}));
        EXPECT_EQ(s.outcome, JobOutcome::kCompleted);
        ContainerListing listing(dir / "c.vesk", key);
        EXPECT_EQ(listing.unaccountedBytes(), static_cast<int64_t>(left));
        std::vector<std::string> listed;
        for (ListedEntry e; listing.Next(e);) {
            if (!e.damaged) listed.push_back(e.name);
        }
        EXPECT_EQ(listed, c.restored);
    }
}

TEST_F(Hostile, ContainersWithoutBytesBeforeTheIndexAreNotNoted) {
    builder.AddEntry("a.txt", {'a'});
    builder.AddEmptyRecord();
    Decrypt();
    EXPECT_TRUE(observer.notices.empty());
    EXPECT_EQ(ContainerListing(dir / "c.vesk", key).unaccountedBytes(), 0);
}

TEST_F(Hostile, DamageFailsOnlyItsOwnEntry) {
    const std::vector<std::string> names{"one.txt", "two.txt", "three.txt", "four.txt"};
    std::vector<std::size_t> starts;
    for (const std::string& name : names) {
        starts.push_back(builder.size());
        builder.AddEntry(name, test::PatternBytes(300, static_cast<uint32_t>(name.size())));
    }
    starts.push_back(builder.size());
    const Bytes good = builder.Finish();
    // Where the bit flips: in the second cipher block (name, magic) or 40 bytes before the
    // entry's end (the zlib stream).
    constexpr int kName = 4 + 40, kData = -40;
    struct Case {
        std::vector<int> damaged;  // entries with a flipped bit
        int offset;                // kName or kData
        Msg error;                 // reported for each damaged entry; WrongPassword for the run
    };
    const Case cases[] = {
        {{0}, kName, Msg::DamagedEntryNumber},
        {{0}, kData, Msg::DamagedEntry},
        {{1}, kName, Msg::DamagedEntryNumber},
        {{3}, kData, Msg::DamagedEntry},
        {{0, 1, 2}, kName, Msg::DamagedEntryNumber},
        // When no first chunk makes sense, nothing shows that the key is right.
        {{0, 1, 2, 3}, kName, Msg::WrongPassword},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.damaged.size() << " damaged from " << c.damaged[0] << " at " << c.offset);
        Bytes container = good;
        for (int e : c.damaged) {
            const auto entry = static_cast<std::size_t>(e);
            container[c.offset > 0 ? starts[entry] + c.offset : starts[entry + 1] - 40] ^= 0x10;
        }
        observer = {};
        std::filesystem::remove_all(Out());
        if (c.error == Msg::WrongPassword) {
            EXPECT_EQ(ErrorIdOf([&] { Decrypt(container, key); }), Msg::WrongPassword);
            EXPECT_EQ(ErrorIdOf([&] { ListContainer(dir / "c.vesk", key); }), Msg::WrongPassword);
            continue;
        }
        const DecryptSummary s = Decrypt(container, key);
        std::vector<std::string> expected;
        std::vector<Msg> errors;
        for (std::size_t e = 0; e < names.size(); ++e) {
            const bool hit = std::count(c.damaged.begin(), c.damaged.end(), e) > 0;
            if (!hit) expected.push_back(names[e]);
            if (hit) errors.push_back(c.error);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(test::FilesBelow(Out()), expected);
        EXPECT_EQ(s.failed, static_cast<int>(c.damaged.size()));
        std::vector<Msg> reported;
        for (const auto& [item, id] : observer.errors) reported.push_back(id);
        EXPECT_EQ(reported, errors);
        // The damaged entry is named: by its number when its name is lost, else by its path.
        const std::string& first = observer.errors[0].first;
        EXPECT_TRUE(first == std::to_string(c.damaged[0] + 1) ||
                    first.find(names[static_cast<std::size_t>(c.damaged[0])]) != std::string::npos)
            << first;
        int64_t sound = -1;
        EXPECT_EQ(CheckContainerKey(ContainerReader(dir / "c.vesk"), key, &sound),
                  KeyVerdict::kRight);
        // Damage behind the header leaves the entry's first chunk sound.
        const bool headerHit = c.offset == kName && c.damaged[0] == 0;
        EXPECT_EQ(sound, headerHit ? static_cast<int64_t>(c.damaged.size()) : 0);
    }
}

TEST_F(Hostile, IndexesWithoutARecordThatHasBytesHaveNoUsableContent) {
    ContainerBuilder onlyEmpty(key);
    for (int i = 0; i < 3; ++i) onlyEmpty.AddEmptyRecord();
    const Bytes cases[] = {
        test::FromHex("ff01"),          // one file that failed
        test::FromHex("ffffffffff05"),  // five files that failed
        onlyEmpty.Finish(),
        // A failed file's chunk left in front of an index of size-0 records only.
        [&] {
            ContainerBuilder b(key);
            AddPartialFile(b);
            return b.Finish();
        }(),
    };
    for (const Bytes& container : cases) {
        SCOPED_TRACE(test::ToHex(Bytes(container.end() - 2, container.end())));
        EXPECT_EQ(ErrorIdOf([&] { Decrypt(container, key); }), Msg::NoUsableContent);
        EXPECT_EQ(ErrorIdOf([&] { ListContainer(dir / "c.vesk", key); }), Msg::NoUsableContent);
        EXPECT_TRUE(std::filesystem::is_empty(Out()));
    }
}

TEST_F(Hostile, IndexFoundInContainersOf100And101Bytes) {
    // An empty file with a 10-byte name is a 68-byte entry; its index record and T take 3 more
    // bytes, and each size-0 record one more: 29 of them make 100 bytes, 30 make 101.
    for (int emptyRecords : {29, 30}) {
        ContainerBuilder b(key);
        b.AddEntry("ten-chars!", {});
        for (int i = 0; i < emptyRecords; ++i) b.AddEmptyRecord();
        const Bytes c = b.Finish();
        ASSERT_EQ(c.size(), 71u + emptyRecords);
        observer = {};
        const DecryptSummary s = Decrypt(c, key);
        EXPECT_EQ(s.restored, 1) << c.size();
        EXPECT_EQ(s.emptyRecords, emptyRecords);
        std::filesystem::remove_all(Out());
    }
}

}  // namespace
}  // namespace sealwise
