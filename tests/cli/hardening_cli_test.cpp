// The command-line tool under hostile conditions: a file size limit, SIGKILL in the middle of
// writing a container, names that try to steer the terminal, and crafted bad containers.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <sstream>
#include <thread>

#include "app/strings.h"
#include "cli/commands.h"
#include "core/files/file_test_support.h"
#include "files/jobs/decrypt_container_job.h"
#include "text/text_crypt.h"

extern char** environ;

namespace sealwise::cli {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

const std::string kCli = SEALWISE_CLI_PATH;
const std::string kCorpus = std::string(SEALWISE_TEST_DATA) + "/bad-containers";

struct ShellResult {
    int status;  // exit status, or 128 + signal
    std::string err;
};

// Runs a shell command line with stderr captured in a file.
ShellResult Shell(const std::string& command, const std::string& errFile) {
    const int raw = std::system((command + " 2>'" + errFile + "'").c_str());
    const Bytes err = ReadFile(errFile);
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return {status, std::string(err.begin(), err.end())};
}

std::vector<std::string> TemporaryFiles(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(".sealwise-", 0) == 0) out.push_back(name);
    }
    return out;
}

class HardeningCli : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SW_HARDEN_PW", "bad containers", 1);
        setenv("LANG", "C", 1);
    }
    test::ScratchDir dir;
};

// Encrypts a 200 kB file over an old container under "ulimit -f 16" (sh counts 512-byte
// blocks: 8 KiB, far below the container).
ShellResult EncryptUnderFileSizeLimit(const test::ScratchDir& dir) {
    WriteFile(dir / "big.bin", test::PatternBytes(200'000, 3));
    WriteFile(dir / "c.vesk", {'o', 'l', 'd'});
    return Shell("ulimit -f 16 && exec '" + kCli +
                     "' encrypt -q --overwrite --passphrase-env SW_HARDEN_PW -o '" +
                     dir / "c.vesk" + "' '" + dir / "big.bin" + "'",
                 dir / "err.txt");
}

TEST_F(HardeningCli, FileSizeLimitIsReportedNotFatal) {
    const ShellResult run = EncryptUnderFileSizeLimit(dir);
    EXPECT_EQ(run.status, 1) << run.err;  // not 128 + SIGXFSZ
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    EXPECT_TRUE(TemporaryFiles(dir.path()).empty());
}

TEST_F(HardeningCli, FileSizeLimitKeepsTheOldContainer) {
    EncryptUnderFileSizeLimit(dir);
    EXPECT_EQ(ReadFile(dir / "c.vesk"), (Bytes{'o', 'l', 'd'}));
}

// Kills "encrypt --overwrite" at random moments. The container's name must always hold either
// the old container or a complete new one. A kill can leave the hidden temporary file
// (.sealwise-*.part) of the unfinished run; the test counts those and removes them.
TEST_F(HardeningCli, SigkillDuringEncryptNeverLeavesAMixedContainer) {
    for (int i = 0; i < 4; ++i) {
        WriteFile(dir / ("in/f" + std::to_string(i)), test::PatternBytes(700'000, i + 1));
    }
    const Bytes key = TextKeyFromPassphrase("bad containers");
    WriteFile(dir / "c.vesk", {'o', 'l', 'd'});
    const std::string container = dir / "c.vesk";
    const std::string input = dir / "in";
    const char* argv[] = {kCli.c_str(),       "encrypt",      "-q", "--overwrite",
                          "--passphrase-env", "SW_HARDEN_PW", "-o", container.c_str(),
                          input.c_str(),      nullptr};
    const auto spawn = [&] {
        pid_t child = 0;
        EXPECT_EQ(::posix_spawn(&child, kCli.c_str(), nullptr, nullptr,
                                const_cast<char* const*>(argv), environ),
                  0);
        return child;
    };
    // One whole run first: the kills are spread over its duration and a bit beyond.
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    ::waitpid(spawn(), &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
    std::mt19937 rng(2024);
    int killedEarly = 0, completed = 0, leftovers = 0;
    for (int round = 0; round < 20; ++round) {
        WriteFile(container, {'o', 'l', 'd'});  // every round starts from the old container
        const pid_t child = spawn();
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % (duration * 5 / 4 + 1)));
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? killedEarly : completed)++;

        const Bytes now = ReadFile(container);
        if (now != Bytes{'o', 'l', 'd'}) {
            // A new container: it must be whole and restore every file exactly.
            test::ScratchDir out;
            test::RecordingObserver observer;
            DecryptContainerJob job(observer);
            const DecryptSummary s = job.Run(container, out.path(), key);
            ASSERT_EQ(s.restored, 4) << "round " << round;
            EXPECT_EQ(ReadFile(out / "in/f3"), test::PatternBytes(700'000, 4));
        }
        for (const auto& name : TemporaryFiles(dir.path())) {
            ++leftovers;
            fs::remove(dir / name);
        }
    }
    std::printf("SIGKILL rounds: %d killed, %d finished first, %d temporary files left\n",
                killedEarly, completed, leftovers);
    EXPECT_GT(killedEarly, 0);
}

TEST_F(HardeningCli, NamesInMessagesCannotSteerTheTerminal) {
    // A file named with a right-to-left override, then an entry that needs it as a directory:
    // the message names the path, which must come out escaped.
    const Bytes key = TextKeyFromPassphrase("bad containers");
    test::ContainerBuilder builder(key);
    const std::string utf8Marker = "\uFEFF";
    builder.AddEntry(utf8Marker + "evil\u202Etxt", {'e'});
    builder.AddEntry(utf8Marker + "evil\u202Etxt\\x\x1b]0;title\x07", {'x'});
    WriteFile(dir / "c.vesk", builder.Finish());
    std::istringstream in;
    std::ostringstream out, err;
    Io io{in, out, err};
    const int status = cli::Run(
        {"decrypt", "-q", "--passphrase-env", "SW_HARDEN_PW", "-C", dir / "out", dir / "c.vesk"},
        io);
    EXPECT_EQ(status, kFailure);
    EXPECT_NE(err.str().find("\\u{202E}"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("\u202E"), std::string::npos);
    EXPECT_EQ(err.str().find('\x1b'), std::string::npos);
}

TEST_F(HardeningCli, CraftedContainersThroughTheBinary) {
    const auto decrypt = [&](const std::string& file) {
        fs::remove_all(dir / "out");
        return Shell("'" + kCli + "' decrypt -q --passphrase-env SW_HARDEN_PW -C '" + dir / "out" +
                         "' '" + kCorpus + "/" + file + "' </dev/null",
                     dir / "err.txt");
    };
    const ShellResult tiny = decrypt("three-bytes.vesk");
    EXPECT_EQ(tiny.status, 1);
    EXPECT_NE(tiny.err.find("File has no usable content!"), std::string::npos) << tiny.err;
    const ShellResult wrong = decrypt("wrong-passphrase.vesk");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("password you have entered was invalid"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out"));  // made only once the passphrase proves right
    const ShellResult hostile = decrypt("hostile-names.vesk");
    EXPECT_EQ(hostile.status, 1);
    EXPECT_EQ(test::FilesBelow(dir / "out"),
              (std::vector<std::string>{"before.txt", "sub/after.txt"}));
    EXPECT_EQ(hostile.err.find('\x1b'), std::string::npos);
    const ShellResult ordinary = decrypt("ordinary-names.vesk");
    EXPECT_EQ(ordinary.status, 0) << ordinary.err;
    EXPECT_TRUE(fs::exists(dir / "out/CON"));
}

TEST_F(HardeningCli, ListAndDecryptAgreeOnIndexLocatedEntries) {
    struct Case {
        std::string file;
        int status;
        std::string message;  // in stderr
        std::vector<std::string> restored;
    };
    const Case cases[] = {
        {"orphan-after-partial-file.vesk", 0, "belong to no entry", {"a.txt", "b.txt"}},
        {"only-empty-records.vesk", 1, "File has no usable content!", {}},
        {"damaged-first-of-four.vesk",
         1,
         "Entry 1 of the container is damaged",
         {"four.txt", "three.txt", "two.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string container = kCorpus + "/" + c.file;
        const ShellResult list = Shell("'" + kCli + "' list --passphrase-env SW_HARDEN_PW '" +
                                           container + "' >'" + dir / "list.txt" + "'",
                                       dir / "err.txt");
        EXPECT_EQ(list.status, c.status) << list.err;
        EXPECT_NE(list.err.find(c.message), std::string::npos) << list.err;
        const Bytes listed = ReadFile(dir / "list.txt");
        std::vector<std::string> names;
        std::istringstream lines(std::string(listed.begin(), listed.end()));
        for (std::string line; std::getline(lines, line);)
            names.push_back(line.substr(0, line.find('\t')));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.restored);

        fs::remove_all(dir / "out");
        fs::create_directories(dir / "out");
        const ShellResult decrypt =
            Shell("'" + kCli + "' decrypt -q --passphrase-env SW_HARDEN_PW -C '" + dir / "out" +
                      "' '" + container + "' </dev/null",
                  dir / "err.txt");
        EXPECT_EQ(decrypt.status, c.status) << decrypt.err;
        EXPECT_NE(decrypt.err.find(c.message), std::string::npos) << decrypt.err;
        EXPECT_EQ(test::FilesBelow(dir / "out"), c.restored);
    }
}

}  // namespace
}  // namespace sealwise::cli
