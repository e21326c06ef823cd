// sealwise-cli encrypt on real, awkward trees: what is stored, what is reported, when the
// container is written at all, and the questions about an existing one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <sstream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "cli/commands.h"
#include "cli/path_args.h"
#include "core/files/file_test_support.h"
#include "core/files/unprivileged.h"
#include "core/test_util.h"
#include "files/io/posix_io.h"

namespace sealwise::cli {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

class EncryptInputs : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SW_INPUTS_PW", "correct horse", 1); }

    Result Cli(Args args, const std::string& input = {}, bool terminal = false) {
        args.insert(args.begin() + 1, {"--passphrase-env", "SW_INPUTS_PW"});
        return RunCli(args, input, terminal);
    }
    // The names the container lists, in order.
    std::vector<std::string> Listed(const std::string& container) {
        const Result list = Cli({"list", container});
        EXPECT_EQ(list.status, kOk) << list.err;
        std::vector<std::string> names;
        std::istringstream lines(list.out);
        for (std::string line; std::getline(lines, line);)
            names.push_back(line.substr(0, line.find('\t')));
        return names;
    }

    test::ScratchDir dir;
    test::LanguageScope english_{kOffsetEnglish};
};

struct HostileTree {
    const char* label;
    std::function<void(const test::ScratchDir&)> make;  // builds below dir/t
    Args inputs;                                        // relative to dir
    int status;
    std::string message;              // part of stderr ("" for none)
    std::vector<std::string> listed;  // the container's entries; empty: no container
};

TEST_F(EncryptInputs, HostileTreesAreStoredOrReportedNeverDroppedSilently) {
    const std::vector<HostileTree> cases{
        {"case twins",
         [](auto& d) {
             WriteFile(d / "t/README.txt", {1});
             WriteFile(d / "t/readme.txt", {2});
             WriteFile(d / "t/xt_CONNMARK.h", {3});
             WriteFile(d / "t/xt_connmark.h", {4});
         },
         {"t"},
         kOk,
         "",
         {"t/README.txt", "t/readme.txt", "t/xt_CONNMARK.h", "t/xt_connmark.h"}},
        {"one stored name from two inputs",
         [](auto& d) {
             WriteFile(d / "t/ca/x.txt", {1});
             WriteFile(d / "t/cb/x.txt", {2});
         },
         {"t/ca/x.txt", "t/cb/x.txt"},
         kFailure,
         "/t/cb/x.txt\" \u2192 \"x.txt\"",
         {}},
        {"backslash",
         [](auto& d) {
             WriteFile(d / "t/a\\b.txt", {1});
             WriteFile(d / "t/ok.txt", {2});
         },
         {"t"},
         kFailure,
         "The name of \""
         "%DIR%/t/a\\b.txt\" cannot be stored",
         {"t/ok.txt"}},
        {"newline",
         [](auto& d) {
             WriteFile(d / "t/a\nb", {1});
             WriteFile(d / "t/ok.txt", {2});
         },
         {"t"},
         kFailure,
         "/t/a\\x0Ab\" cannot be stored",
         {"t/ok.txt"}},
        {"escape",
         [](auto& d) {
             WriteFile(d / "t/\x1b[2J", {1});
             WriteFile(d / "t/ok.txt", {2});
         },
         {"t"},
         kFailure,
         "/t/\\x1B[2J\" cannot be stored",
         {"t/ok.txt"}},
        {"not UTF-8",
         [](auto& d) {
             WriteFile(d / "t/\xE9.txt", {1});
             WriteFile(d / "t/\xE8.txt", {2});
             WriteFile(d / "t/ok.txt", {3});
         },
         {"t"},
         kFailure,
         "Files that could not be encrypted: 2.",
         {"t/ok.txt"}},
        {"link to a directory",
         [](auto& d) {
             WriteFile(d / "elsewhere/e.txt", {1});
             WriteFile(d / "t/ok.txt", {2});
             fs::create_directory_symlink(d / "elsewhere", d / "t/link");
         },
         {"t"},
         kFailure,
         "/t/link\" is a symbolic link to a directory",
         {"t/ok.txt"}},
        {"FIFO",
         [](auto& d) {
             WriteFile(d / "t/ok.txt", {2});
             ::mkfifo((d / "t/pipe").c_str(), 0600);
         },
         {"t"},
         kFailure,
         "/t/pipe\" is not a regular file",
         {"t/ok.txt"}},
        {"a file that reports size 0", [](auto&) {}, {"/proc/version"}, kOk, "", {"version"}},
    };
    for (const HostileTree& c : cases) {
        SCOPED_TRACE(c.label);
        test::ScratchDir scratch;
        c.make(scratch);
        Args args{"encrypt", "-o", scratch / "c.vesk"};
        for (const std::string& input : c.inputs) {
            args.push_back(input.front() == '/' ? input : scratch / input);
        }
        const Result r = Cli(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        std::string message = c.message;
        if (const auto at = message.find("%DIR%"); at != std::string::npos) {
            message.replace(at, 5, scratch.path());
        }
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(fs::exists(scratch / "c.vesk"), !c.listed.empty());
        EXPECT_EQ(r.out.find("saved") != std::string::npos, !c.listed.empty());
        if (!c.listed.empty()) {
            EXPECT_EQ(Listed(scratch / "c.vesk"), c.listed);
        }
    }
}

ssize_t NoRoomLeft(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

struct OverwriteCause {
    const char* label;
    std::function<std::string(const test::ScratchDir&)> makeInput;
    bool diskFull = false;
};

TEST_F(EncryptInputs, AFailedOverwriteKeepsTheOldContainerByteForByte) {
    const std::vector<OverwriteCause> causes{
        {"FIFO",
         [](auto& d) {
             ::mkfifo((d / "fifo").c_str(), 0600);
             return d / "fifo";
         }},
        {"device", [](auto&) { return std::string("/dev/zero"); }},
        {"sparse file over the limit",
         [](auto& d) {
             const int fd = ::open((d / "sparse").c_str(), O_CREAT | O_WRONLY, 0600);
             EXPECT_EQ(::ftruncate(fd, int64_t{2'200'000'000}), 0);
             ::close(fd);
             return d / "sparse";
         }},
        {"disk full",
         [](auto& d) {
             WriteFile(d / "s.txt", {'s'});
             return d / "s.txt";
         },
         true},
    };
    for (const OverwriteCause& c : causes) {
        SCOPED_TRACE(c.label);
        test::ScratchDir scratch;
        WriteFile(scratch / "in.txt", {'i'});
        ASSERT_EQ(Cli({"encrypt", "-o", scratch / "backup.vesk", scratch / "in.txt"}).status, kOk);
        const Bytes old = ReadFile(scratch / "backup.vesk");
        const std::string input = c.makeInput(scratch);
        const WriteCall previous = c.diskFull ? SetWriteCallForTesting(&NoRoomLeft) : nullptr;
        const Result r = Cli({"encrypt", "--overwrite", "-o", scratch / "backup.vesk", input});
        if (c.diskFull) SetWriteCallForTesting(previous);
        EXPECT_EQ(r.status, kFailure);
        EXPECT_EQ(r.out, "");  // no "saved"
        EXPECT_EQ(ReadFile(scratch / "backup.vesk"), old);
        for (const std::string& name : test::FilesBelow(scratch.path())) {
            EXPECT_EQ(name.find(".sealwise-"), std::string::npos) << name;  // no staged file left
        }
    }
}

TEST_F(EncryptInputs, AnUnreadableInputOrDirectoryKeepsTheOldContainer) {
    ::chmod(dir.path().c_str(), 0777);
    WriteFile(dir / "secret.txt", {'s'});
    ::chmod((dir / "secret.txt").c_str(), 0600);
    WriteFile(dir / "locked/inner.txt", {'l'});
    ::chmod((dir / "locked").c_str(), 0700);
    WriteFile(dir / "backup.vesk", {'o', 'l', 'd'});
    ::chmod((dir / "backup.vesk").c_str(), 0666);
    const int status = test::RunUnprivileged([&] {
        bool fine = true;
        for (const std::string& input : {dir / "secret.txt", dir / "locked"}) {
            const Result r = Cli({"encrypt", "--overwrite", "-o", dir / "backup.vesk", input});
            fine &= r.status == kFailure && r.out.empty() &&
                    ReadFile(dir / "backup.vesk") == Bytes{'o', 'l', 'd'};
        }
        return fine;
    });
    if (status < 0) GTEST_SKIP() << "cannot give up root here";
    EXPECT_EQ(status, 0);
}

TEST(DefaultContainerName, BesideTheFirstInputNamedAfterIt) {
    const std::vector<std::tuple<std::string, bool, std::string>> cases{
        {"/data/proj", true, "/data/proj.vesk"},
        {"/data/proj/", true, "/data/proj.vesk"},
        {"/data/v1.2", true, "/data/v1.2.vesk"},
        {"/x/report.doc", false, "/x/report.vesk"},
        {"/x/archive.tar.gz", false, "/x/archive.tar.vesk"},
        {"/x/README", false, "/x/README.vesk"},
        {"/x/.bashrc", false, "/x/.bashrc.vesk"},
        {"/x/box.vesk", false, "/x/box.vesk.vesk"},
        {"/", true, "/root.vesk"},
    };
    for (const auto& [input, isDirectory, expected] : cases) {
        EXPECT_EQ(DefaultContainerName(input, isDirectory), expected) << input;
    }
}

TEST_F(EncryptInputs, WithoutOutputTheContainerGoesBesideAndNeverIntoItself) {
    WriteFile(dir / "proj/a.txt", {'a'});
    const Result first = Cli({"encrypt", dir / "proj"});
    ASSERT_EQ(first.status, kOk) << first.err;
    EXPECT_EQ(first.out, "The encrypted file has been saved as \"" + dir / "proj.vesk" + "\".\n");
    // An existing one is handled like any existing container.
    EXPECT_EQ(Cli({"encrypt", dir / "proj"}).status, kFailure);
    // A container chosen inside the tree is not packed into its successor.
    for (int run = 0; run < 2; ++run) {
        const Result r = Cli({"encrypt", "--overwrite", "-o", dir / "proj/in.vesk", dir / "proj"});
        ASSERT_EQ(r.status, kOk) << r.err;
    }
    EXPECT_EQ(Listed(dir / "proj/in.vesk"), (std::vector<std::string>{"proj/a.txt"}));
}

TEST_F(EncryptInputs, QuestionsAboutAnExistingContainer) {
    WriteFile(dir / "a.txt", {'a'});
    WriteFile(dir / "c.vesk", {'o', 'l', 'd'});
    const Bytes old = ReadFile(dir / "c.vesk");
    // "No", then another name: written there.
    Result r =
        Cli({"encrypt", "-o", dir / "c.vesk", dir / "a.txt"}, "n\n" + dir / "d.vesk\n", true);
    EXPECT_EQ(r.status, kOk) << r.err;
    EXPECT_NE(r.err.find("New file name:"), std::string::npos);
    EXPECT_EQ(Listed(dir / "d.vesk"), (std::vector<std::string>{"a.txt"}));
    // "No", then no name: nothing written.
    r = Cli({"encrypt", "-o", dir / "c.vesk", dir / "a.txt"}, "n\n\n", true);
    EXPECT_EQ(r.status, kFailure);
    EXPECT_EQ(r.out, "");
    // An explicit --no-overwrite keeps it with a note and succeeds.
    r = Cli({"encrypt", "--no-overwrite", "-o", dir / "c.vesk", dir / "a.txt"});
    EXPECT_EQ(r.status, kOk);
    EXPECT_NE(r.err.find("already exists and was kept"), std::string::npos);
    EXPECT_EQ(ReadFile(dir / "c.vesk"), old);
    // "Yes" replaces it.
    r = Cli({"encrypt", "-o", dir / "c.vesk", dir / "a.txt"}, "y\n", true);
    EXPECT_EQ(r.status, kOk);
    EXPECT_EQ(Listed(dir / "c.vesk"), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(Cli({"encrypt", "--overwrite", "--no-overwrite", dir / "a.txt"}).status, kUsage);
}

TEST_F(EncryptInputs, ARealTreeComesBackWhole) {
    std::vector<std::pair<std::string, Bytes>> files;
    for (int i = 0; i < 2500; ++i) {
        files.emplace_back("tree/d" + std::to_string(i % 40) + "/f" + std::to_string(i) + ".txt",
                           test::PatternBytes(static_cast<std::size_t>(i % 700), i));
    }
    files.emplace_back("tree/README.txt", Bytes{'A'});
    files.emplace_back("tree/readme.txt", Bytes{'a'});
    files.emplace_back("tree/.hidden/.profile", Bytes{'h'});
    files.emplace_back(
        "tree/Gr\xC3\xBC\xC3\x9F"
        "e/caf\xC3\xA9.txt",
        Bytes{'c'});
    files.emplace_back("tree/\xCE\xB1\xCE\xB2\xCE\xB3.txt", Bytes{'g'});
    files.emplace_back("tree/big/one.bin", test::PatternBytes(5'000'000, 1));
    files.emplace_back("tree/big/two.bin", test::PatternBytes(2'097'110, 2));
    for (const auto& [name, data] : files) WriteFile(dir / name, data);

    const Result enc = Cli({"encrypt", "-o", dir / "c.vesk", dir / "tree"});
    ASSERT_EQ(enc.status, kOk) << enc.err;
    std::vector<std::string> listed = Listed(dir / "c.vesk");
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected;
    for (const auto& [name, data] : files) expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);

    ASSERT_EQ(Cli({"decrypt", "-C", dir / "out", dir / "c.vesk"}).status, kOk);
    EXPECT_EQ(test::FilesBelow(dir / "out/tree"), test::FilesBelow(dir / "tree"));
    for (const auto& [name, data] : files) EXPECT_EQ(ReadFile(dir / ("out/" + name)), data) << name;
}

}  // namespace
}  // namespace sealwise::cli
