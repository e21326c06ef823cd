// Faults from below: a disk that fills up at any point, a read-only output directory, input
// files that vanish or shrink while a container is made. Every failure is reported, an
// existing container or file stays as it was, and no temporary file is left behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <optional>

#include "app/msg.h"
#include "file_test_support.h"
#include "files/io/posix_io.h"
#include "files/jobs/decrypt_container_job.h"
#include "files/jobs/encrypt_files_job.h"

namespace sealwise {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;
using Items = std::vector<EncryptItem>;

// A disk with room for a given number of bytes, then ENOSPC.
std::atomic<int64_t> roomLeft{0};

// Writers may run side by side: the room is claimed before writing, as a disk would.
ssize_t WriteUntilFull(int fd, const void* data, std::size_t size) {
    int64_t room = roomLeft.load();
    int64_t n = 0;
    do {
        if (room <= 0) {
            errno = ENOSPC;
            return -1;
        }
        n = std::min<int64_t>(room, static_cast<int64_t>(size));
    } while (!roomLeft.compare_exchange_weak(room, room - n));
    const ssize_t put = ::write(fd, data, static_cast<std::size_t>(n));
    if (put < n) roomLeft += n - std::max<ssize_t>(put, 0);
    return put;
}

class DiskFull {
  public:
    explicit DiskFull(int64_t room) {
        roomLeft = room;
        previous_ = SetWriteCallForTesting(&WriteUntilFull);
    }
    ~DiskFull() { SetWriteCallForTesting(previous_); }

  private:
    WriteCall previous_;
};

bool HasTemporaryFiles(const std::string& dir) {
    for (const auto& name : test::FilesBelow(dir)) {
        if (fs::path(name).filename().string().rfind(".sealwise-", 0) == 0) return true;
    }
    return false;
}

struct Faults : ::testing::Test {
    test::ScratchDir dir;
    test::RecordingObserver observer;
    Bytes key = test::Key();
    const Bytes oldContainer = {'o', 'l', 'd'};

    void SetUp() override {
        WriteFile(dir / "in/a.txt", test::PatternBytes(40'000, 1));
        WriteFile(dir / "in/b.bin", test::PatternBytes(9'000, 2));
        WriteFile(dir / "c.vesk", oldContainer);
    }
    Items Inputs() { return {{dir / "in/a.txt", "\\"}, {dir / "in/b.bin", "\\"}}; }
};

TEST_F(Faults, DiskFullWhileEncryptingKeepsTheOldContainer) {
    // From no room at all to room for all but the index.
    for (int64_t room : {0, 1, 4, 100, 3000, 9000, 12'000}) {
        SCOPED_TRACE(room);
        observer = {};
        std::optional<Msg> runError;
        {
            DiskFull full(room);
            EncryptFilesJob job(observer);
            try {
                job.Run(Inputs(), dir / "c.vesk", key);
            } catch (const SealError& e) {
                runError = e.stringId();
            }
        }
        // The index cannot be written either: the run fails as a whole.
        EXPECT_EQ(runError, Msg::SystemError);
        EXPECT_EQ(ReadFile(dir / "c.vesk"), oldContainer);
        EXPECT_FALSE(HasTemporaryFiles(dir.path()));
    }
}

// One failing write to the container (EIO, or ENOSPC with room again after the partial entry
// is cut off). The container cannot be trusted to be complete: the run must fail as a whole and
// keep the old container, not go on as if the input file had failed.
std::atomic<int> writesBeforeFailure{0};

ssize_t FailOneWrite(int fd, const void* data, std::size_t size) {
    if (writesBeforeFailure.fetch_sub(1) == 0) {
        errno = EIO;
        return -1;
    }
    return ::write(fd, data, size);
}

TEST_F(Faults, AFailedContainerWriteFailsTheRunAndKeepsTheOldContainer) {
    // The records of both small files go out in one write, the index in the next.
    for (int failingWrite : {0, 1}) {
        SCOPED_TRACE(failingWrite);
        WriteFile(dir / "c.vesk", oldContainer);
        writesBeforeFailure = failingWrite;
        const WriteCall previous = SetWriteCallForTesting(&FailOneWrite);
        std::optional<Msg> runError;
        try {
            EncryptFilesJob job(observer);
            job.Run(Inputs(), dir / "c.vesk", key);
        } catch (const SealError& e) {
            runError = e.stringId();
        }
        SetWriteCallForTesting(previous);
        EXPECT_EQ(runError, Msg::SystemError);
        EXPECT_EQ(ReadFile(dir / "c.vesk"), oldContainer);
        EXPECT_FALSE(HasTemporaryFiles(dir.path()));
    }
}

TEST_F(Faults, DiskFullWhileRestoringFailsEachEntryAndKeepsExistingFiles) {
    {
        EncryptFilesJob job(observer);
        ASSERT_EQ(job.Run(Inputs(), dir / "c.vesk", key).failedFiles, 0);
    }
    WriteFile(dir / "out/a.txt", {'k', 'e', 'e', 'p'});
    // Entries may be written side by side, so every room here is too small for either file.
    for (int64_t room : {0, 10, 8'999}) {
        SCOPED_TRACE(room);
        observer = {};
        observer.answer = {OverwriteChoice::kOverwrite, {}};
        DecryptSummary s;
        {
            DiskFull full(room);
            DecryptContainerJob job(observer);
            s = job.Run(dir / "c.vesk", dir / "out", key);
        }
        EXPECT_EQ(s.restored, 0);
        EXPECT_EQ(s.failed, 2);
        for (const auto& [item, id] : observer.errors) EXPECT_EQ(id, Msg::SystemError) << item;
        EXPECT_EQ(ReadFile(dir / "out/a.txt"), (Bytes{'k', 'e', 'e', 'p'}));
        EXPECT_EQ(test::FilesBelow(dir / "out"), std::vector<std::string>{"a.txt"});
    }
}

TEST_F(Faults, DiskWithRoomForOneFileRestoresOneWholeAndNothingPartial) {
    {
        EncryptFilesJob job(observer);
        ASSERT_EQ(job.Run(Inputs(), dir / "c.vesk", key).failedFiles, 0);
    }
    WriteFile(dir / "out/a.txt", {'k', 'e', 'e', 'p'});
    observer.answer = {OverwriteChoice::kOverwrite, {}};
    DecryptSummary s;
    {
        // Exactly a.txt's size: whichever entry is written first, the other cannot fit.
        DiskFull full(40'000);
        DecryptContainerJob job(observer);
        s = job.Run(dir / "c.vesk", dir / "out", key);
    }
    EXPECT_EQ(s.restored, 1);
    EXPECT_EQ(s.failed, 1);
    const Bytes a = ReadFile(dir / "out/a.txt");
    EXPECT_TRUE(a == (Bytes{'k', 'e', 'e', 'p'}) || a == test::PatternBytes(40'000, 1));
    if (fs::exists(dir / "out/b.bin")) {
        EXPECT_EQ(ReadFile(dir / "out/b.bin"), test::PatternBytes(9'000, 2));
    }
    EXPECT_FALSE(HasTemporaryFiles(dir.path()));
}

TEST_F(Faults, ReadOnlyOutputDirectoryFailsEveryEntryWithoutCrashing) {
    {
        EncryptFilesJob job(observer);
        ASSERT_EQ(job.Run(Inputs(), dir / "c.vesk", key).failedFiles, 0);
    }
    fs::create_directories(dir / "out");
    fs::permissions(dir / "out", fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    // Root ignores the mode: then the job runs in a child that gives up root first.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
        fs::permissions(dir / "c.vesk", fs::perms::others_read, fs::perm_options::add);
    }
    const auto restore = [&] {
        test::RecordingObserver seen;
        DecryptContainerJob job(seen);
        const DecryptSummary s = job.Run(dir / "c.vesk", dir / "out", key);
        bool allSystemErrors = seen.errors.size() == 2;
        for (const auto& [item, id] : seen.errors) allSystemErrors &= id == Msg::SystemError;
        return s.failed == 2 && allSystemErrors;
    };
    if (asRoot) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
            ::_exit(!dropped ? 2 : restore() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot give up root here";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    } else {
        EXPECT_TRUE(restore());
    }
    fs::permissions(dir / "out", fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

// Reads the real file but reports it shorter than the file was when listed: as if it had
// been cut while the container was made.
struct ShrinkingSource : InputSource {
    std::unique_ptr<InputSource> inner;
    int64_t Size() const override { return inner->Size(); }
    std::size_t Read(std::span<uint8_t> out) override {
        return inner->Read(out.first(out.size() / 2));
    }
};

TEST_F(Faults, InputsThatVanishOrShrinkFailOnlyThemselves) {
    WriteFile(dir / "in/gone.txt", {'g'});
    const Items items{
        {dir / "in/a.txt", "\\"}, {dir / "in/gone.txt", "\\"}, {dir / "in/b.bin", "\\"}};
    fs::remove(dir / "in/gone.txt");  // listed, then deleted before the run reaches it
    EncryptFilesJob job(observer);
    job.SetInputOpener([&](const std::string& path) -> std::unique_ptr<InputSource> {
        auto source = OpenInputFile(path);
        if (path != dir / "in/a.txt") return source;
        auto shrinking = std::make_unique<ShrinkingSource>();
        shrinking->inner = std::move(source);
        return shrinking;
    });
    const EncryptSummary s = job.Run(items, dir / "c.vesk", key);
    EXPECT_EQ(s.failedFiles, 2);
    ASSERT_EQ(observer.errors.size(), 2u);
    EXPECT_EQ(observer.errors[0],
              (std::pair<std::string, Msg>{dir / "in/a.txt", Msg::FileChanged}));
    EXPECT_EQ(observer.errors[1].second, Msg::SystemError);
    EXPECT_FALSE(HasTemporaryFiles(dir.path()));

    observer = {};
    fs::create_directories(dir / "out");
    DecryptContainerJob decrypt(observer);
    const DecryptSummary d = decrypt.Run(dir / "c.vesk", dir / "out", key);
    EXPECT_EQ(d.restored, 1);
    EXPECT_EQ(ReadFile(dir / "out/b.bin"), test::PatternBytes(9'000, 2));
}

}  // namespace
}  // namespace sealwise
