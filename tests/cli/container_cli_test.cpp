#include <gtest/gtest.h>
#include <stdlib.h>

#include <csignal>
#include <sstream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "core/files/file_test_support.h"
#include "core/test_util.h"
#include "crypto/keys.h"

namespace sealwise::cli {
namespace {

using test::ReadFile;
using test::WriteFile;

class ContainerCli : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SW_CONTAINER_PW", "correct horse", 1);
        setenv("SW_WRONG_PW", "wrong horse", 1);
        WriteFile(dir / "in/proj/sub/a.txt", test::PatternBytes(3000, 1));
        WriteFile(dir / "in/proj/b.bin", test::PatternBytes(70'000, 2));
        WriteFile(dir / "in/single.txt", {'s'});
    }

    Result Cli(Args args, const std::string& pw = "SW_CONTAINER_PW") {
        if (!pw.empty()) args.insert(args.begin() + 1, {"--passphrase-env", pw});
        return RunCli(args);
    }

    test::ScratchDir dir;
    test::LanguageScope english_{kOffsetEnglish};
};

TEST_F(ContainerCli, EncryptListDecryptRoundTrip) {
    const Result enc =
        Cli({"encrypt", "-o", dir / "c.vesk", dir / "in/proj", dir / "in/single.txt"});
    ASSERT_EQ(enc.status, kOk) << enc.err;
    EXPECT_EQ(enc.out, "The encrypted file has been saved as \"" + dir / "c.vesk" + "\".\n");

    const Result list = Cli({"list", dir / "c.vesk"});
    ASSERT_EQ(list.status, kOk) << list.err;
    EXPECT_EQ(list.out, "proj/b.bin\t70000\nproj/sub/a.txt\t3000\nsingle.txt\t1\n");

    const Result dec = Cli({"decrypt", "-C", dir / "out", dir / "c.vesk"});
    ASSERT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(test::FilesBelow(dir / "out"),
              (std::vector<std::string>{"proj/b.bin", "proj/sub/a.txt", "single.txt"}));
    EXPECT_EQ(ReadFile(dir / "out/proj/b.bin"), test::PatternBytes(70'000, 2));
}

TEST_F(ContainerCli, NoSyncRestoresTheSameFilesAndStillReplaces) {
    ASSERT_EQ(Cli({"encrypt", "-o", dir / "c.vesk", dir / "in/proj", dir / "in/single.txt"}).status,
              kOk);
    WriteFile(dir / "out/single.txt", {'o', 'l', 'd', 'e', 'r'});
    const Result dec =
        Cli({"decrypt", "--no-sync", "--overwrite", "-C", dir / "out", dir / "c.vesk"});
    ASSERT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(test::FilesBelow(dir / "out"),
              (std::vector<std::string>{"proj/b.bin", "proj/sub/a.txt", "single.txt"}));
    EXPECT_EQ(ReadFile(dir / "out/proj/b.bin"), test::PatternBytes(70'000, 2));
    EXPECT_EQ(ReadFile(dir / "out/proj/sub/a.txt"), test::PatternBytes(3000, 1));
    EXPECT_EQ(ReadFile(dir / "out/single.txt"), Bytes{'s'});
}

TEST_F(ContainerCli, WithoutOutputTheProposedNameIsUsedAndPrinted) {
    const Result enc = Cli({"encrypt", dir / "in/proj/"});
    ASSERT_EQ(enc.status, kOk) << enc.err;
    const std::string name =
        enc.out.substr(enc.out.find('"') + 1, enc.out.rfind('"') - enc.out.find('"') - 1);
    EXPECT_EQ(name, dir / "in/proj.vesk");  // beside the directory, named after it
    EXPECT_TRUE(std::filesystem::is_regular_file(name));
    // Decrypting next to the container is the default.
    std::filesystem::rename(name, dir / "moved.vesk");
    EXPECT_EQ(Cli({"decrypt", dir / "moved.vesk"}).status, kOk);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "proj/sub/a.txt"));
}

TEST_F(ContainerCli, ExistingFilesAreKeptUnlessOverwriteIsGiven) {
    ASSERT_EQ(Cli({"encrypt", "-o", dir / "c.vesk", dir / "in/single.txt"}).status, kOk);
    // The container is not replaced silently either.
    const Bytes container = ReadFile(dir / "c.vesk");
    const Result again = Cli({"encrypt", "-o", dir / "c.vesk", dir / "in/proj"});
    EXPECT_EQ(again.status, kFailure);
    EXPECT_EQ(ReadFile(dir / "c.vesk"), container);
    EXPECT_EQ(Cli({"encrypt", "--overwrite", "-o", dir / "c.vesk", dir / "in/single.txt"}).status,
              kOk);

    WriteFile(dir / "out/single.txt", {'o', 'l', 'd'});
    // Without a flag (and no terminal to ask on) keeping the file is a failure; asked for
    // with --no-overwrite it is a note, so that a rerun under `set -e` goes through.
    const struct {
        Args flags;
        int status;
        std::string says;
    } keeping[] = {
        {{}, kFailure, "already exists and was not overwritten"},
        {{"--no-overwrite"}, kOk, "Kept the existing file"},
    };
    for (const auto& k : keeping) {
        Args args{"decrypt", "-C", dir / "out"};
        args.insert(args.end(), k.flags.begin(), k.flags.end());
        args.push_back(dir / "c.vesk");
        const Result kept = Cli(args);
        EXPECT_EQ(kept.status, k.status);
        EXPECT_NE(kept.err.find(k.says), std::string::npos) << kept.err;
        EXPECT_EQ(ReadFile(dir / "out/single.txt"), (Bytes{'o', 'l', 'd'}));
    }
    EXPECT_EQ(Cli({"decrypt", "--overwrite", "-C", dir / "out", dir / "c.vesk"}).status, kOk);
    EXPECT_EQ(ReadFile(dir / "out/single.txt"), Bytes{'s'});
    EXPECT_EQ(Cli({"decrypt", "--overwrite", "--no-overwrite", dir / "c.vesk"}).status, kUsage);
}

TEST_F(ContainerCli, FailuresExitWithAMessageAndWriteNothing) {
    ASSERT_EQ(Cli({"encrypt", "-o", dir / "c.vesk", dir / "in/proj"}).status, kOk);
    const Result wrong = Cli({"decrypt", "-C", dir / "out", dir / "c.vesk"}, "SW_WRONG_PW");
    EXPECT_EQ(wrong.status, kFailure);
    EXPECT_NE(wrong.err.find("password you have entered was invalid"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));  // not even an empty directory
    EXPECT_EQ(Cli({"list", dir / "c.vesk"}, "SW_WRONG_PW").status, kFailure);

    const Result missing = Cli({"encrypt", "-o", dir / "d.vesk", dir / "in/nope", dir / "in/proj"});
    EXPECT_EQ(missing.status, kFailure);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "d.vesk"));

    WriteFile(dir / "tiny.vesk", {1, 2, 3});
    const Result tiny = Cli({"list", dir / "tiny.vesk"});
    EXPECT_EQ(tiny.status, kFailure);
    EXPECT_NE(tiny.err.find("File has no usable content!"), std::string::npos);
}

TEST_F(ContainerCli, SharedKeyContainers) {
    WriteFile(dir / "keys", {'o', 'n', 'e', '\n', 't', 'w', 'o', '\n'});
    ASSERT_EQ(Cli({"encrypt", "--shared-key-file", dir / "keys", "-o", dir / "c.vesk",
                   dir / "in/single.txt"},
                  "")
                  .status,
              kOk);
    EXPECT_EQ(Cli({"list", dir / "c.vesk"}).status, kFailure);
    const Result list = Cli({"list", "--shared-key-file", dir / "keys", dir / "c.vesk"}, "");
    EXPECT_EQ(list.out, "single.txt\t1\n");
}

TEST_F(ContainerCli, ListShowsHostileNamesEscaped) {
    // A name carrying an escape sequence and a bidi override (marked UTF-8).
    test::ContainerBuilder builder(MakeKeyString("correct horse"));
    const std::string utf8Marker = "\xEF\xBB\xBF";
    builder.AddEntry(utf8Marker + "x\x1b[31m\xE2\x80\xAEtxt.exe", {'e'});
    WriteFile(dir / "h.vesk", builder.Finish());
    const Result list = Cli({"list", dir / "h.vesk"});
    EXPECT_EQ(list.status, kOk);
    EXPECT_EQ(list.out, "x\\x1B[31m\\u{202E}txt.exe\t1\n");
}

TEST(InterruptFlag, SignalsRaiseTheFlagInsteadOfEndingTheProcess) {
    InterruptFlag flag;
    EXPECT_FALSE(flag.raised());
    std::raise(SIGINT);
    EXPECT_TRUE(flag.raised());
}

// The jobs see a signal through their stop token, which the watcher thread requests.
TEST(InterruptFlag, EachSignalReachesTheStopTokenOfItsOwnRun) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        InterruptFlag flag;
        const std::stop_token token = flag.stopToken();
        EXPECT_FALSE(token.stop_requested());
        std::raise(signal);
        // Waits for the watcher thread, not for a time: a lost wake-up hangs until ctest's
        // timeout.
        while (!token.stop_requested()) std::this_thread::yield();
        EXPECT_EQ(InterruptSignal(), signal);
    }
    InterruptFlag next;
    EXPECT_FALSE(next.stopToken().stop_requested()) << "a new run starts without a stop";
}

}  // namespace
}  // namespace sealwise::cli
