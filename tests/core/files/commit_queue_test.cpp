// The commit queue names restored files on its own threads, a few files at a time: whatever is
// still gathered for a thread must be finished when someone waits for it or the queue goes.
#include "files/pipeline/commit_queue.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include "file_test_support.h"

namespace sealwise {
namespace {

using test::ReadFile;

struct CommitQueueTest : ::testing::Test {
    test::ScratchDir dir;
    SharedFd where = std::make_shared<const UniqueFd>(
        ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));

    void Hand(CommitQueue& queue, const std::string& name, const std::string& text,
              Placement placement = Placement::kFreeName) {
        auto file = std::make_unique<StagedFile>(where, name, placement);
        file->SetFlushMode(FlushMode::kNone);
        queue.Submit(std::move(file), Bytes(text.begin(), text.end()), name, name);
    }
    std::string Text(const std::string& name) {
        const Bytes data = ReadFile(dir / name);
        return {data.begin(), data.end()};
    }
};

constexpr int kThreadCounts[] = {1, 2};  // 1: every commit at once on the caller's thread

TEST_F(CommitQueueTest, EveryFileHandedOverIsNamedAndReportedInHandOverOrder) {
    for (int threads : kThreadCounts) {
        SCOPED_TRACE(threads);
        const std::string prefix = "t" + std::to_string(threads) + "-";
        CommitQueue queue(threads);
        // More files than one batch holds, and a last batch that is not full.
        for (int i = 0; i < 21; ++i) Hand(queue, prefix + std::to_string(i), std::string(i, 'x'));
        const auto results = queue.Collect(true);
        ASSERT_EQ(results.size(), 21u);
        for (int i = 0; i < 21; ++i) {
            const std::string name = prefix + std::to_string(i);
            EXPECT_EQ(results[i].path, name);
            EXPECT_EQ(results[i].bytes, i);
            EXPECT_FALSE(results[i].error);
            EXPECT_EQ(Text(name), std::string(i, 'x'));
        }
    }
}

TEST_F(CommitQueueTest, ALaterFileOfTheSamePathWaitsForTheEarlierAndWins) {
    for (int threads : kThreadCounts) {
        SCOPED_TRACE(threads);
        const std::string name = "same" + std::to_string(threads);
        CommitQueue queue(threads);
        // The first is still gathered when the second arrives: waiting for it must send it.
        Hand(queue, name, "first", Placement::kReplace);
        Hand(queue, name, "second", Placement::kReplace);
        EXPECT_EQ(queue.Collect(true).size(), 2u);
        EXPECT_EQ(Text(name), "second");
    }
}

TEST_F(CommitQueueTest, APathIsPendingUntilItsFileHasItsName) {
    CommitQueue queue(2);
    Hand(queue, "f", "data");
    // The path itself and paths that would run through it; never a mere prefix.
    for (const char* path : {"f", "f/below"}) {
        if (!queue.Pending(path)) {
            EXPECT_EQ(Text("f"), "data") << path;
        }
    }
    EXPECT_FALSE(queue.Pending("fg"));
    EXPECT_FALSE(queue.Pending("g"));
    EXPECT_EQ(queue.Collect(true).size(), 1u);
    EXPECT_FALSE(queue.Pending("f"));
    EXPECT_EQ(Text("f"), "data");
}

TEST_F(CommitQueueTest, FilesStillGatheredAreNamedWhenTheQueueGoes) {
    {
        CommitQueue queue(2);
        for (const char* name : {"a", "b", "c"}) Hand(queue, name, name);
    }
    EXPECT_EQ(test::FilesBelow(dir.path()), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Text("c"), "c");
}

}  // namespace
}  // namespace sealwise
