// Restoring writes files on a thread of its own: what reaches the disk, and what is reported,
// must still follow the stream's order when damage, a cancel or a repeated name comes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <stop_token>

#include "../files/file_test_support.h"
#include "app/msg.h"
#include "core/modern/modern_test_keys.h"
#include "core/test_util.h"
#include "files/jobs/file_job_observer.h"
#include "modern/byte_stream.h"
#include "modern/modern_restore.h"
#include "modern/modern_writer.h"
#include "modern/records.h"
#include "modern/sealed_stream.h"

namespace sealwise::modern {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

// Records the restored files and errors in the order they were reported.
struct EventLog : FileJobObserver {
    void ItemRestored(const std::string& path, int64_t) override { events.push_back("+" + path); }
    void ReportError(const std::string& item, const SealError&) override {
        events.push_back("!" + item);
    }
    void BytesDone(int64_t bytes) override {
        done += bytes;
        if (cancelAfterBytes >= 0 && done >= cancelAfterBytes) cancel.request_stop();
    }
    OverwriteAnswer AskOverwrite(const std::string&) override {
        ++asked;
        return {answer, {}};
    }
    std::vector<std::string> events;
    int64_t done = 0;
    int64_t cancelAfterBytes = -1;
    std::stop_source cancel;
    int asked = 0;
    OverwriteChoice answer = OverwriteChoice::kSkip;
};

Bytes Seal(const std::vector<std::string>& inputs) {
    EventLog log;
    MemorySink sink;
    ModernWriteOptions options;
    options.cost = kTestCost;
    ModernWriteJob(log).Run(inputs, sink, kTestKeys, options);
    return sink.bytes;
}

ModernRestoreSummary Restore(std::span<const uint8_t> container, const std::string& out,
                             EventLog& log) {
    MemorySource source(container);
    return ModernRestoreJob(log, log.cancel.get_token()).Run(source, "c", out, kTestKeys);
}

// The regular files below out, by name, each checked against its original in in.
std::set<std::string> TrueFilesIn(const std::string& out, const std::string& in) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(out)) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(name.rfind(".sealwise-", 0), std::string::npos) << "left behind: " << name;
        EXPECT_EQ(ReadFile(e.path().string()), ReadFile(in + "/" + name)) << name;
        names.insert(name);
    }
    return names;
}

// Four files, two of several pieces, handed over one after the other.
std::vector<std::string> MakeFiles(const ScratchDir& scratch) {
    const std::string in = scratch / "in";
    WriteFile(in + "/a", test::PatternBytes(2 * kPieceSize + 5));
    WriteFile(in + "/b", test::PatternBytes(300));
    WriteFile(in + "/c", test::PatternBytes(3 * kPieceSize));
    WriteFile(in + "/d", test::PatternBytes(10));
    return {in + "/a", in + "/b", in + "/c", in + "/d"};
}

TEST(ModernRestoreOrder, DamageEndsTheReportsAndNothingAfterItIsCommitted) {
    ScratchDir scratch;
    const Bytes container = Seal(MakeFiles(scratch));
    std::size_t restoredBefore = 0;
    // Truncated at, or a byte changed at, points spread over the container, in order.
    for (const int percent : {20, 45, 60, 80, 99}) {
        for (const bool truncate : {true, false}) {
            const std::size_t at = container.size() * static_cast<std::size_t>(percent) / 100;
            Bytes bad = container;
            if (truncate) {
                bad.resize(at);
            } else {
                bad[at] ^= 0x10;
            }
            const std::string out =
                scratch / ("out" + std::to_string(percent) + (truncate ? "t" : "f"));
            fs::create_directory(out);
            EventLog log;
            const ModernRestoreSummary summary = Restore(bad, out, log);
            SCOPED_TRACE(out);
            EXPECT_TRUE(summary.damaged);
            ASSERT_FALSE(log.events.empty());
            EXPECT_EQ(log.events.back().front(), '!');  // the damage is the last report
            std::set<std::string> reported;
            for (std::size_t i = 0; i + 1 < log.events.size(); ++i) {
                EXPECT_EQ(log.events[i].front(), '+') << log.events[i];
                reported.insert(fs::path(log.events[i].substr(1)).filename().string());
            }
            // Exactly the files reported are on disk, whole; the one hit is not.
            EXPECT_EQ(TrueFilesIn(out, scratch / "in"), reported);
            EXPECT_EQ(static_cast<std::size_t>(summary.restored), reported.size());
            // A later point of damage never restores fewer files.
            if (truncate) {
                EXPECT_GE(reported.size(), restoredBefore);
                restoredBefore = reported.size();
            }
        }
    }
    EXPECT_EQ(restoredBefore, 2u);  // at 99 %, the damage is in the last piece of c
}

TEST(ModernRestoreOrder, CancelKeepsTheFilesReadBeforeAndNoPartOfTheCurrentOne) {
    ScratchDir scratch;
    const Bytes container = Seal(MakeFiles(scratch));
    const int64_t a = 2 * kPieceSize + 5, b = 300, c = 3 * kPieceSize;
    const struct {
        int64_t cancelAfter;
        std::set<std::string> kept;
    } cases[] = {
        {1, {}},                           // in the first piece of the first file
        {kPieceSize + 1, {}},              // in a later piece of it
        {a + 1, {"a"}},                    // in the next, small file
        {a + b + kPieceSize, {"a", "b"}},  // between pieces of a large file
        {a + b + c - 1, {"a", "b"}},       // in its last piece
    };
    for (const auto& test : cases) {
        const std::string out = scratch / ("out" + std::to_string(test.cancelAfter));
        fs::create_directory(out);
        EventLog log;
        log.cancelAfterBytes = test.cancelAfter;
        const ModernRestoreSummary summary = Restore(container, out, log);
        SCOPED_TRACE(test.cancelAfter);
        EXPECT_EQ(summary.outcome, JobOutcome::kCancelled);
        EXPECT_EQ(TrueFilesIn(out, scratch / "in"), test.kept);
        EXPECT_EQ(static_cast<std::size_t>(summary.restored), test.kept.size());
    }
}

// A container of the given files as they stand, names repeated or not (writers never repeat
// one, but a container may come from anywhere).
// An entry as a writer of its own might store it: a symbolic link when target is set.
struct CraftedEntry {
    std::string name;
    Bytes data;
    std::string target;
};

Bytes Craft(const std::vector<CraftedEntry>& entries) {
    MemorySink sink;
    SealedWriter writer(sink, Content::kFiles, kTestKeys, kTestCost);
    PieceCodec codec;
    for (const auto& [name, data, target] : entries) {
        EntryMeta meta;
        meta.size = data.size();
        meta.name = name;
        if (!target.empty()) {
            meta.type = EntryType::kSymlink;
            meta.linkTarget = target;
        }
        writer.Push(EncodeEntryRecord(meta));
        for (std::size_t at = 0; at < data.size(); at += kPieceSize) {
            Bytes record;
            codec.Encode(std::span(data).subspan(at, std::min(kPieceSize, data.size() - at)),
                         record);
            writer.Push(record);
        }
    }
    writer.Push(EncodeEndRecord(entries.size()), true);
    return sink.bytes;
}

// A later entry meets the earlier ones on disk, though they may still be on their way there:
// a repeated name is answered for, a file where a directory goes is refused.
TEST(ModernRestoreOrder, LaterEntriesMeetEarlierOnesOnDisk) {
    const Bytes first = test::PatternBytes(kPieceSize + 1), second{'t', 'w', 'o'};
    const struct {
        std::string secondName;
        OverwriteChoice answer;
        int asked;
        int restored;
        int failed;
        Bytes f;  // what f holds afterwards
    } cases[] = {
        {"f", OverwriteChoice::kSkip, 1, 1, 0, first},
        {"f", OverwriteChoice::kOverwrite, 1, 2, 0, second},
        {"f/g", OverwriteChoice::kOverwrite, 0, 1, 1, first},
    };
    for (const auto& test : cases) {
        ScratchDir scratch;
        const Bytes container = Craft({{"f", first, {}}, {test.secondName, second, {}}});
        EventLog log;
        log.answer = test.answer;
        const ModernRestoreSummary summary = Restore(container, scratch.path(), log);
        SCOPED_TRACE(test.secondName);
        EXPECT_EQ(log.asked, test.asked);
        EXPECT_EQ(summary.restored, test.restored);
        EXPECT_EQ(summary.failed, test.failed);
        EXPECT_EQ(ReadFile(scratch / "f"), test.f);
        EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()),
                  1);
    }
}

// A container may hold a link and then entries below it or under its name: whatever its target,
// nothing is written outside the output directory and the link is never followed.
TEST(ModernRestoreOrder, LinksInTheContainerAreNeverFollowed) {
    const Bytes data{'x'};
    const struct {
        std::vector<CraftedEntry> entries;
        int restored;
        int failed;
    } cases[] = {
        {{{"l", {}, "OUTSIDE"}, {"l/x", data, {}}}, 1, 1},
        {{{"l", {}, "../outside"}, {"l/x", data, {}}}, 1, 1},
        {{{"d/l", {}, "../../outside"}, {"d/l/x", data, {}}}, 1, 1},
        // Replacing the link puts the file in the link's place, not into its target.
        {{{"l", {}, "OUTSIDE/x"}, {"l", data, {}}}, 2, 0},
    };
    for (const auto& test : cases) {
        ScratchDir scratch;
        fs::create_directories(scratch / "out");
        fs::create_directories(scratch / "outside");
        std::vector<CraftedEntry> entries = test.entries;
        for (CraftedEntry& e : entries) {
            if (e.target.starts_with("OUTSIDE")) e.target.replace(0, 7, scratch / "outside");
        }
        EventLog log;
        log.answer = OverwriteChoice::kOverwrite;
        const ModernRestoreSummary summary = Restore(Craft(entries), scratch / "out", log);
        SCOPED_TRACE(test.entries.back().name);
        EXPECT_EQ(summary.restored, test.restored);
        EXPECT_EQ(summary.failed, test.failed);
        EXPECT_TRUE(fs::is_empty(scratch / "outside"));
        const fs::path last = fs::path(scratch / "out") / test.entries.back().name;
        if (test.failed == 0) {
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(last)));
            EXPECT_EQ(ReadFile(last.string()), data);
        }
    }
}

}  // namespace
}  // namespace sealwise::modern
