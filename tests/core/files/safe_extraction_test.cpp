// Restoring against a hostile file system: links planted in the output directory, files that
// others hold open or linked, names the file system cannot take. A restored file is always a
// new file created exclusively and renamed into place; nothing is written through a link.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "file_test_support.h"
#include "files/decrypt_container_job.h"
#include "files/message_ids.h"
#include "files/staged_file.h"

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
    EXPECT_EQ(observer.errors[0].second, msg::kPathNotDirectory);
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
    EXPECT_EQ(observer.errors[0].second, msg::kSystemError);
    EXPECT_NE(observer.errors[0].first.find("taken"), std::string::npos);
    EXPECT_EQ(observer.errors[1].second, msg::kSystemError);
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

TEST(StagedFileTest, ADeferredFlushCommitsAtOnceAndTheFlushNamesAFailingPath) {
    test::ScratchDir dir;
    StagedFile staged(dir / "fresh");
    staged.SetFlushOnCommit(false);
    staged.Append(Bytes{'d', 'a', 't', 'a'});
    staged.Commit();
    EXPECT_EQ(ReadFile(dir / "fresh"), (Bytes{'d', 'a', 't', 'a'}));
    EXPECT_NO_THROW(FlushCommittedFiles({dir / "fresh"}));
    try {
        FlushCommittedFiles({dir / "fresh", dir / "gone"});
        ADD_FAILURE() << "a vanished file was taken as flushed";
    } catch (const SealError& error) {
        EXPECT_EQ(error.stringId(), msg::kSystemError);
        EXPECT_NE(error.argument().find("gone"), std::string::npos) << error.argument();
    }
}

}  // namespace
}  // namespace sealwise
