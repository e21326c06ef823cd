// Restoring against a hostile file system: links planted in the output directory, files that
// others hold open or linked, names the file system cannot take. A restored file is always a
// new file created exclusively and renamed into place; nothing is written through a link.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "app/msg.h"
#include "file_test_support.h"
#include "files/io/deferred_flush.h"
#include "files/io/staged_file.h"
#include "files/jobs/decrypt_container_job.h"

namespace sealwise {
namespace {

namespace fs = std::filesystem;
using test::ContainerBuilder;
using test::ReadFile;
using test::WriteFile;

struct SafeExtraction : ::testing::Test {
    test::ScratchDir dir;
    test::RecordingObserver observer;
    Bytes key = test::Key();
    ContainerBuilder builder{key};

    std::string Out() { return dir / "out"; }
    std::string Outside() { return dir / "outside"; }

    void SetUp() override {
        fs::create_directories(Out());
        fs::create_directories(Outside());
        observer.answer = {OverwriteChoice::kOverwrite, {}};
    }
    DecryptSummary Decrypt() {
        WriteFile(dir / "c.vesk", builder.Finish());
        DecryptContainerJob job(observer);
        return job.Run(dir / "c.vesk", Out(), key);
    }
};

TEST_F(SafeExtraction, DanglingAndNestedLinksNeverRedirectAFile) {
    // A link to a file that does not exist yet: following it would create the file outside.
    fs::create_symlink(Outside() + "/planted", Out() + "/dangling");
    // A link to a directory outside, one level down.
    fs::create_directories(Out() + "/a");
    fs::create_directory_symlink(Outside(), Out() + "/a/link");
    builder.AddEntry("dangling", {'d'});
    builder.AddEntry("a\\link\\x.txt", {'x'});
    builder.AddEntry("a\\link", {'l'});
    const DecryptSummary s = Decrypt();
    EXPECT_EQ(s.restored, 2);
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0].second, Msg::PathNotDirectory);
    EXPECT_TRUE(fs::is_empty(Outside()));
    // The links themselves were replaced by the restored files.
    EXPECT_FALSE(fs::is_symlink(Out() + "/dangling"));
    EXPECT_EQ(ReadFile(Out() + "/dangling"), Bytes{'d'});
    EXPECT_FALSE(fs::is_symlink(Out() + "/a/link"));
    EXPECT_EQ(ReadFile(Out() + "/a/link"), Bytes{'l'});
}

TEST_F(SafeExtraction, AnOverwrittenFileIsReplacedNotRewrittenInPlace) {
    // A hard link from outside shares the old file's inode: writing in place would change it.
    WriteFile(Outside() + "/shared", {'o', 'l', 'd'});
    ASSERT_EQ(::link((Outside() + "/shared").c_str(), (Out() + "/f.txt").c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat((Out() + "/f.txt").c_str(), &before), 0);
    builder.AddEntry("f.txt", {'n', 'e', 'w'});
    EXPECT_EQ(Decrypt().restored, 1);
    struct stat after {};
    ASSERT_EQ(::stat((Out() + "/f.txt").c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(ReadFile(Out() + "/f.txt"), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(ReadFile(Outside() + "/shared"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(test::FilesBelow(Out()), std::vector<std::string>{"f.txt"});
}

TEST_F(SafeExtraction, NamesTheFileSystemRefusesFailOnlyTheirEntry) {
    fs::create_directories(Out() + "/taken");
    builder.AddEntry("taken", {'t'});  // an existing directory
    // 200 stored bytes of Windows-1252 "é" become a component of 400 bytes: too long for a
    // file name here, although the stored name fits its 255 bytes.
    builder.AddEntry("dir\\" + std::string(200, '\xE9'), {'k'});
    builder.AddEntry("fine.txt", {'f'});
    const DecryptSummary s = Decrypt();
    EXPECT_EQ(s.restored, 1);
    ASSERT_EQ(observer.errors.size(), 2u);
    EXPECT_EQ(observer.errors[0].second, Msg::SystemError);
    EXPECT_NE(observer.errors[0].first.find("taken"), std::string::npos);
    EXPECT_EQ(observer.errors[1].second, Msg::SystemError);
    EXPECT_TRUE(fs::is_directory(Out() + "/taken"));
    EXPECT_EQ(ReadFile(Out() + "/fine.txt"), Bytes{'f'});
    // No temporary file of a failed entry survives.
    for (const auto& name : test::FilesBelow(Out())) {
        EXPECT_EQ(name.find(".sealwise-"), std::string::npos) << name;
    }
}

TEST_F(SafeExtraction, AnEntryNamedLikeATemporaryFileIsAnOrdinaryFile) {
    builder.AddEntry(".sealwise-0123456789.part", {'p'});
    builder.AddEntry(".sealwise-", {'q'});
    EXPECT_EQ(Decrypt().restored, 2);
    EXPECT_EQ(test::FilesBelow(Out()),
              (std::vector<std::string>{".sealwise-", ".sealwise-0123456789.part"}));
    EXPECT_EQ(ReadFile(Out() + "/.sealwise-0123456789.part"), Bytes{'p'});
}

TEST(StagedFileTest, CreatesExclusivelyAndRenamesOnlyOnCommit) {
    test::ScratchDir dir;
    WriteFile(dir / "target", {'o', 'l', 'd'});
    {
        StagedFile staged(dir / "target");
        staged.Append(Bytes{'n', 'e', 'w'});
        // Before the commit the old file is untouched and the new one is hidden beside it.
        EXPECT_EQ(ReadFile(dir / "target"), (Bytes{'o', 'l', 'd'}));
        const auto names = test::FilesBelow(dir.path());
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(names[0].rfind(".sealwise-", 0), 0u);
        struct stat st {};
        ASSERT_EQ(::fstat(staged.fd(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);  // private until complete
        staged.Commit();
    }
    EXPECT_EQ(ReadFile(dir / "target"), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(test::FilesBelow(dir.path()), std::vector<std::string>{"target"});
    {
        StagedFile abandoned(dir / "target");
        abandoned.Append(Bytes{'x'});
    }
    EXPECT_EQ(ReadFile(dir / "target"), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(test::FilesBelow(dir.path()), std::vector<std::string>{"target"});
}

// Something happens to the output tree while the job runs: the hook is called when the entry
// named `when` has its data and is about to be given its name.
struct TamperingObserver : test::RecordingObserver {
    std::string current, when;
    std::function<void()> tamper;
    void ItemStarted(const std::string& name, int64_t) override { current = name; }
    void BytesDone(int64_t) override {
        if (tamper && current.ends_with(when)) std::exchange(tamper, nullptr)();
    }
};

struct SwappedDirectoryCase {
    const char* name;
    int threads;
    int otherDirectories;     // made between the swap and the next entry for the directory
    bool laterEntryRestored;  // into the directory the run opened; else refused
};

TEST_F(SafeExtraction, ADirectorySwappedForALinkDuringTheRunIsNeverFollowed) {
    const SwappedDirectoryCase cases[] = {
        {"kept open, in order", 1, 0, true},
        {"kept open, commits on other threads", 4, 0, true},
        // So many directories later that the run no longer holds it open: looked up again,
        // the link is refused.
        {"opened again by name", 1, 70, false},
        {"opened again by name, other threads", 4, 70, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(Out());
        fs::remove_all(Outside());
        fs::create_directories(Out());
        fs::create_directories(Outside());
        ContainerBuilder tree(key);
        tree.AddEntry("d\\a.txt", {'a'});
        for (int i = 0; i < c.otherDirectories; ++i) {
            tree.AddEntry("x" + std::to_string(i) + "\\f", {'x'});
        }
        tree.AddEntry("d\\b.txt", {'b'});
        tree.AddEntry("d\\e\\c.txt", {'c'});
        WriteFile(dir / "c.vesk", tree.Finish());
        TamperingObserver tampering;
        tampering.when = "a.txt";
        tampering.tamper = [&] {
            fs::rename(Out() + "/d", Out() + "/moved");
            fs::create_directory_symlink(Outside(), Out() + "/d");
        };
        DecryptContainerJob job(tampering);
        job.SetThreadCount(c.threads);
        const DecryptSummary summary = job.Run(dir / "c.vesk", Out(), key);
        EXPECT_TRUE(fs::is_empty(Outside()));
        EXPECT_TRUE(fs::is_symlink(Out() + "/d"));
        // Whatever went into the directory after the swap went into the directory the run
        // opened (wherever it is now), or failed; never through the link.
        for (const auto& name : test::FilesBelow(Out())) {
            EXPECT_TRUE(name.starts_with("moved/") || name.starts_with("x")) << name;
        }
        EXPECT_EQ(ReadFile(Out() + "/moved/a.txt"), Bytes{'a'});
        if (c.laterEntryRestored) {
            EXPECT_EQ(ReadFile(Out() + "/moved/b.txt"), Bytes{'b'});
            EXPECT_EQ(ReadFile(Out() + "/moved/e/c.txt"), Bytes{'c'});
            EXPECT_EQ(summary.failed, 0);
        } else {
            EXPECT_EQ(summary.failed, 2);
            for (const auto& [item, id] : tampering.errors) {
                EXPECT_EQ(id, Msg::PathNotDirectory) << item;
            }
        }
        EXPECT_EQ(summary.restored + summary.failed, 3 + c.otherDirectories);
    }
}

struct TakenNameCase {
    const char* entry;  // the entry; its directory exists before the run or not
    OverwriteAnswer answer;
    Bytes expected;  // what the name holds afterwards
    int restored, skipped;
};

TEST_F(SafeExtraction, ANameTakenBeforeTheFileIsNamedIsAskedAboutAgain) {
    const Bytes theirs{'t', 'h', 'e', 'i', 'r', 's'}, ours{'o', 'u', 'r', 's'};
    const TakenNameCase cases[] = {
        {"f.txt", {OverwriteChoice::kSkip, {}}, theirs, 0, 1},
        {"new\\f.txt", {OverwriteChoice::kSkip, {}}, theirs, 0, 1},
        {"f.txt", {OverwriteChoice::kOverwrite, {}}, ours, 1, 0},
        {"new\\f.txt", {OverwriteChoice::kOverwrite, {}}, ours, 1, 0},
        {"f.txt", {OverwriteChoice::kRename, "other.txt"}, theirs, 1, 0},
        {"new\\f.txt", {OverwriteChoice::kRename, "other.txt"}, theirs, 1, 0},
    };
    for (const auto& c : cases) {
        const std::string entry = c.entry;
        SCOPED_TRACE(entry + " " + std::to_string(static_cast<int>(c.answer.choice)));
        fs::remove_all(Out());
        fs::create_directories(Out());
        ContainerBuilder one{key};
        one.AddEntry(entry, ours);
        WriteFile(dir / "c.vesk", one.Finish());
        const std::string path = Out() + "/" + (entry == "f.txt" ? "" : "new/") + "f.txt";
        TamperingObserver tampering;
        tampering.answer = c.answer;
        if (!c.answer.newPath.empty()) tampering.answer.newPath = Out() + "/other.txt";
        tampering.when = "f.txt";
        tampering.tamper = [&] { WriteFile(path, theirs); };
        DecryptContainerJob job(tampering);
        const DecryptSummary s = job.Run(dir / "c.vesk", Out(), key);
        EXPECT_EQ(tampering.questions, std::vector<std::string>{path});
        EXPECT_EQ(ReadFile(path), c.expected);
        EXPECT_EQ(s.restored, c.restored);
        EXPECT_EQ(s.skipped, c.skipped);
        if (!c.answer.newPath.empty()) {
            EXPECT_EQ(ReadFile(Out() + "/other.txt"), ours);
        }
        EXPECT_TRUE(tampering.errors.empty());
    }
}

TEST_F(SafeExtraction, TheContainerBeingReadIsNeverReplaced) {
    // By its own name, and by a second name (a hard link) that another entry has.
    builder.AddEntry("box.vesk", {'x'});
    builder.AddEntry("alias.vesk", {'y'});
    builder.AddEntry("fine.txt", {'f'});
    const Bytes container = builder.Finish();
    WriteFile(Out() + "/box.vesk", container);
    ASSERT_EQ(::link((Out() + "/box.vesk").c_str(), (Out() + "/alias.vesk").c_str()), 0);
    DecryptContainerJob job(observer);
    const DecryptSummary s = job.Run(Out() + "/box.vesk", Out(), key);
    EXPECT_EQ(s.restored, 1);
    ASSERT_EQ(observer.errors.size(), 2u);
    EXPECT_EQ(observer.errors[0],
              (std::pair<std::string, Msg>{Out() + "/box.vesk", Msg::ContainerNotReplaced}));
    EXPECT_EQ(observer.errors[1].second, Msg::ContainerNotReplaced);
    EXPECT_TRUE(observer.questions.empty());
    EXPECT_EQ(ReadFile(Out() + "/box.vesk"), container);
    EXPECT_EQ(ReadFile(Out() + "/alias.vesk"), container);
}

TEST_F(SafeExtraction, AReplacedFileKeepsItsPermissionsWithoutSetIdBits) {
    const std::pair<mode_t, mode_t> modes[] = {
        {0600, 0600}, {0640, 0640}, {0755, 0755}, {04755, 0755}, {02750, 0750}};
    for (const auto& [before, after] : modes) {
        SCOPED_TRACE(before);
        WriteFile(Out() + "/f.txt", {'o', 'l', 'd'});
        ASSERT_EQ(::chmod((Out() + "/f.txt").c_str(), before), 0);
        ContainerBuilder one{key};
        one.AddEntry("f.txt", {'n', 'e', 'w'});
        WriteFile(dir / "c.vesk", one.Finish());
        DecryptContainerJob job(observer);
        EXPECT_EQ(job.Run(dir / "c.vesk", Out(), key).restored, 1);
        struct stat st {};
        ASSERT_EQ(::stat((Out() + "/f.txt").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, after);
        EXPECT_EQ(ReadFile(Out() + "/f.txt"), (Bytes{'n', 'e', 'w'}));
    }
}

TEST(StagedFileTest, AFreeNameIsNeverReplacedAndAnUnnamedFileLeavesNothing) {
    test::ScratchDir dir;
    const auto where = std::make_shared<const UniqueFd>(
        ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    {
        StagedFile abandoned(where, "gone", Placement::kFreeName);
        abandoned.Append(Bytes{'x'});
        EXPECT_TRUE(test::FilesBelow(dir.path()).empty());  // not even a hidden name
    }
    EXPECT_TRUE(test::FilesBelow(dir.path()).empty());
    StagedFile staged(where, "x", Placement::kFreeName);
    staged.Append(Bytes{'n', 'e', 'w'});
    WriteFile(dir / "x", {'o', 'l', 'd'});  // made by someone else meanwhile
    EXPECT_THROW(staged.Commit(), NameTakenError);
    EXPECT_EQ(ReadFile(dir / "x"), (Bytes{'o', 'l', 'd'}));
    staged.SetPlacement(Placement::kReplace);
    staged.Commit();
    EXPECT_EQ(ReadFile(dir / "x"), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(test::FilesBelow(dir.path()), std::vector<std::string>{"x"});
}

TEST(DeferredFlushTest, FlushesThroughOpenDescriptorsWhateverHappensToThePaths) {
    // Below and past the number of files flushed one by one.
    for (int files : {3, 40}) {
        SCOPED_TRACE(files);
        test::ScratchDir dir;
        fs::create_directories(dir / "d");
        const auto where = std::make_shared<const UniqueFd>(
            ::open((dir / "d").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        DeferredFlush flush;
        for (int i = 0; i < files; ++i) {
            StagedFile staged(where, "f" + std::to_string(i), Placement::kFreeName);
            staged.SetFlushMode(FlushMode::kDeferred, &flush);
            staged.Append(Bytes{'d'});
            staged.Commit();
        }
        // A flush by path would miss every one of these files now.
        fs::rename(dir / "d", dir / "elsewhere");
        EXPECT_NO_THROW(flush.Flush(dir.path()));
        EXPECT_EQ(test::FilesBelow(dir / "elsewhere").size(), static_cast<std::size_t>(files));
    }
}

}  // namespace
}  // namespace sealwise
