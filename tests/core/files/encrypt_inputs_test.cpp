// The encrypt job on inputs that fail or mislead: a run that stores nothing keeps the old
// container byte for byte, files that report no size are read to their end, and the container
// never holds itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

#include "app/msg.h"
#include "file_test_support.h"
#include "files/io/posix_io.h"
#include "files/jobs/container_listing.h"
#include "files/jobs/encrypt_files_job.h"

namespace sealwise {
namespace {

namespace fs = std::filesystem;
using namespace container;
using test::ReadFile;
using test::WriteFile;
using Items = std::vector<EncryptItem>;

ssize_t DiskIsFull(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

struct FailedRunCase {
    const char* label;
    std::function<std::string(const test::ScratchDir&)> makeInput;  // returns the input path
    Msg runError;                                                   // what the run throws
    std::optional<Msg> inputError;  // what is reported for the input
    bool diskFull = false;
};

TEST(FailedRuns, EveryCauseKeepsTheOldContainerByteForByte) {
    const std::vector<FailedRunCase> cases{
        {"missing input", [](const test::ScratchDir& d) { return d / "gone.txt"; },
         Msg::NothingStored, Msg::SystemError},
        {"FIFO",
         [](const test::ScratchDir& d) {
             ::mkfifo((d / "fifo").c_str(), 0600);
             return d / "fifo";
         },
         Msg::NothingStored, Msg::NotRegularFile},
        {"device", [](const test::ScratchDir&) { return std::string("/dev/null"); },
         Msg::NothingStored, Msg::NotRegularFile},
        {"sparse file over the limit",
         [](const test::ScratchDir& d) {
             const int fd = ::open((d / "sparse").c_str(), O_CREAT | O_WRONLY, 0600);
             EXPECT_EQ(::ftruncate(fd, int64_t{2'200'000'000}), 0);
             ::close(fd);
             return d / "sparse";
         },
         Msg::NothingStored, Msg::FileTooLarge},
        {"name that would not come back",
         [](const test::ScratchDir& d) {
             WriteFile(d / "a\\b.txt", {1});
             return d / "a\\b.txt";
         },
         Msg::NothingStored, Msg::NameNotStorable},
        {"disk full",
         [](const test::ScratchDir& d) {
             WriteFile(d / "fine.txt", test::PatternBytes(5000));
             return d / "fine.txt";
         },
         Msg::SystemError, std::nullopt, true},
    };
    const Bytes old{'o', 'l', 'd', 0xFF, 0x01};
    for (const FailedRunCase& c : cases) {
        SCOPED_TRACE(c.label);
        test::ScratchDir dir;
        WriteFile(dir / "backup.vesk", old);
        const std::string input = c.makeInput(dir);
        test::RecordingObserver observer;
        std::optional<Msg> runError;
        const WriteCall previous = c.diskFull ? SetWriteCallForTesting(&DiskIsFull) : nullptr;
        try {
            EncryptFilesJob job(observer);
            job.Run({{input, "\\"}}, dir / "backup.vesk", test::Key());
        } catch (const SealError& e) {
            runError = e.stringId();
        }
        if (c.diskFull) SetWriteCallForTesting(previous);
        EXPECT_EQ(runError, c.runError);
        EXPECT_EQ(ReadFile(dir / "backup.vesk"), old);
        if (c.inputError) {
            ASSERT_FALSE(observer.errors.empty());
            EXPECT_EQ(observer.errors[0], (std::pair{input, *c.inputError}));
        }
        for (const auto& name : test::FilesBelow(dir.path())) {
            EXPECT_EQ(name.find(".sealwise-"), std::string::npos) << name;
        }
    }
}

// Hands out given bytes but reports a size of 0, as files under /proc do.
struct SizelessSource : InputSource {
    Bytes data;
    std::size_t at = 0;
    int64_t Size() const override { return 0; }
    std::size_t Read(std::span<uint8_t> out) override {
        const std::size_t n = std::min(out.size(), data.size() - at);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), n, out.begin());
        at += n;
        return n;
    }
};

TEST(ReadToEnd, AFileWithoutASizeGivesTheSameContainerAsOneWithIt) {
    // Name "f" (N = 1): chunk 0 holds up to 2,097,117 file bytes.
    const int64_t room = kChunkSize - kHeaderSize - 1;
    for (int64_t size :
         {int64_t{0}, int64_t{1}, room, room + 1, room + kChunkSize, int64_t{5'000'000}}) {
        SCOPED_TRACE(size);
        test::ScratchDir dir;
        const Bytes content = test::PatternBytes(static_cast<std::size_t>(size), 9);
        WriteFile(dir / "f", content);
        auto encrypt = [&](bool sizeless, const std::string& container) {
            test::RecordingObserver observer;
            EncryptFilesJob job(observer);
            job.SetFillerSource(
                [](std::span<uint8_t> filler) { std::fill(filler.begin(), filler.end(), 7); });
            if (sizeless) {
                job.SetInputOpener([&](const std::string&) {
                    auto source = std::make_unique<SizelessSource>();
                    source->data = content;
                    return source;
                });
            }
            job.Run({{dir / "f", "\\"}}, dir / container, test::Key());
            return ReadFile(dir / container);
        };
        EXPECT_EQ(encrypt(true, "sizeless.vesk"), encrypt(false, "sized.vesk"));
        const auto listed = ListContainer(dir / "sizeless.vesk", test::Key());
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed[0].size, size);
    }
}

TEST(OwnContainer, AnInputThatIsTheContainerGetsNoEntry) {
    test::ScratchDir dir;
    WriteFile(dir / "a.txt", test::PatternBytes(100));
    test::RecordingObserver observer;
    {
        EncryptFilesJob job(observer);
        job.Run({{dir / "a.txt", "\\"}}, dir / "box.vesk", test::Key());
    }
    // The next run lists the container it replaces (as a walk of the directory would).
    EncryptFilesJob again(observer);
    const EncryptSummary s =
        again.Run({{dir / "a.txt", "\\"}, {dir / "box.vesk", "\\"}}, dir / "box.vesk", test::Key());
    EXPECT_EQ(s.leftOut, 1);
    EXPECT_EQ(s.failedFiles, 0);
    EXPECT_TRUE(observer.errors.empty());
    const auto listed = ListContainer(dir / "box.vesk", test::Key());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "a.txt");
    // Only the container itself: nothing to store, the old one stays.
    const Bytes before = ReadFile(dir / "box.vesk");
    EncryptFilesJob alone(observer);
    EXPECT_THROW(alone.Run({{dir / "box.vesk", "\\"}}, dir / "box.vesk", test::Key()), SealError);
    EXPECT_EQ(ReadFile(dir / "box.vesk"), before);
}

}  // namespace
}  // namespace sealwise
