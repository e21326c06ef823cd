// What scripts rely on: --passphrase-fd, warnings about secret files that others can read,
// envelope --key-file, JSON output and the progress line.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "cli/job_reporter.h"
#include "cli/json.h"
#include "core/files/file_test_support.h"

namespace sealwise::cli {
namespace {

using test::ReadFile;
using test::WriteFile;

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A pipe whose read end carries text (written in full at once; it fits the pipe's buffer).
struct Pipe {
    explicit Pipe(const std::string& text) {
        EXPECT_EQ(::pipe(fds), 0);
        EXPECT_EQ(::write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fds[1]);
    }
    ~Pipe() { ::close(fds[0]); }
    std::string Rest() const {
        std::string rest;
        char buffer[256];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) rest.append(buffer, n);
        return rest;
    }
    int fds[2];
};

// Runs a command with std::cerr (where secret-file warnings go) captured too.
Result RunCapturingCerr(const Args& args, std::string& cerrText, const std::string& input = {}) {
    std::ostringstream captured;
    std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
    Result r = RunCli(args, input);
    std::cerr.rdbuf(old);
    cerrText = captured.str();
    return r;
}

class CliScripting : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLanguageOffset(kOffsetEnglish);
        setenv("SW_SCRIPT_PW", "fd passphrase", 1);
    }
    test::ScratchDir dir;
};

TEST_F(CliScripting, PassphraseFdReadsOnlyTheFirstLine) {
    Pipe pipe("fd passphrase\r\nthe rest stays\n");
    const Result encrypted =
        RunCli({"encrypt-text", "--passphrase-fd", std::to_string(pipe.fds[0])}, "Hello\n");
    ASSERT_EQ(encrypted.status, 0) << encrypted.err;
    EXPECT_EQ(pipe.Rest(), "the rest stays\n");
    // The same passphrase given another way opens it.
    const Result decrypted =
        RunCli({"decrypt-text", "--passphrase-env", "SW_SCRIPT_PW"}, encrypted.out);
    ASSERT_EQ(decrypted.status, 0) << decrypted.err;
    EXPECT_EQ(decrypted.out.substr(decrypted.out.find('\n') + 1), "Hello\n");
}

TEST_F(CliScripting, PassphraseFdRefusesWhatItCannotUse) {
    const struct {
        Args args;
        int status;
        std::string err;
    } cases[] = {
        {{"decrypt-text", "--passphrase-fd", "987"},
         1,
         "sealwise-cli: error: No passphrase can be read from file descriptor 987.\n"},
        {{"decrypt-text", "--passphrase-fd", "3", "--passphrase-env", "SW_SCRIPT_PW"}, 2, ""},
        {{"decrypt-text", "--passphrase-fd", "-1"}, 2, ""},
    };
    for (const auto& c : cases) {
        const Result r = RunCli(c.args, "AAAA");
        EXPECT_EQ(r.status, c.status) << c.args[2];
        if (!c.err.empty()) {
            EXPECT_EQ(r.err, c.err);
        }
    }
}

TEST_F(CliScripting, SecretFilesReadableByOthersGetAWarning) {
    const struct {
        mode_t mode;
        bool warned;
    } cases[] = {{0600, false}, {0400, false}, {0640, true}, {0604, true}, {0644, true}};
    WriteFile(dir / "pass", BytesOf("fd passphrase\n"));
    WriteFile(dir / "key", BytesOf("00112233\n"));
    for (const auto& c : cases) {
        for (const Args& args : {Args{"encrypt-text", "--passphrase-file", dir / "pass"},
                                 Args{"envelope", "encrypt", "--key-file", dir / "key"}}) {
            const std::string& file = args.back();
            ::chmod(file.c_str(), c.mode);
            std::string warning;
            const Result r = RunCapturingCerr(args, warning, "text");
            EXPECT_EQ(r.status, 0) << r.err;
            const std::string expected = "sealwise-cli: warning: The file \"" + file +
                                         "\" can be read by other users; keep secrets readable "
                                         "by you alone (chmod 600).\n";
            EXPECT_EQ(warning, c.warned ? expected : "") << std::oct << c.mode << " " << args[0];
        }
    }
}

TEST_F(CliScripting, EnvelopeKeyFileEqualsKeyHex) {
    WriteFile(dir / "key", BytesOf("0011 2233\n4455\n"));
    ::chmod((dir / "key").c_str(), 0600);
    const Result fromFile = RunCli({"envelope", "encrypt", "--key-file", dir / "key"}, "data");
    const Result fromHex = RunCli({"envelope", "encrypt", "--key-hex", "001122334455"}, "data");
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, fromHex.out);
    EXPECT_EQ(fromFile.out.size(), 32u);
    const Result missing = RunCli({"envelope", "encrypt", "--key-file", dir / "none"}, "data");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "sealwise-cli: error: The key file \"" + dir / "none" + "\" cannot be read.\n");
}

TEST(CliJson, StringsAreEscapedForAnyBytes) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"tab\tnew\nline", "\"tab\\tnew\\nline\""},
        {std::string("nul\0esc\x1b del\x7f", 13), "\"nul\\u0000esc\\u001b del\\u007f\""},
        {"Grüße €", "\"Grüße €\""},
        {"bad \xE9 byte", "\"bad \\ufffd byte\""},
        {"cut \xE2\x82", "\"cut \\ufffd\\ufffd\""},
        {"overlong \xC0\xAF", "\"overlong \\ufffd\\ufffd\""},
    };
    for (const auto& c : cases) EXPECT_EQ(JsonString(c.in), c.out) << c.in;
}

TEST_F(CliScripting, ListJsonGivesNamesAndSizes) {
    WriteFile(dir / "in/tree/a \"quoted\".txt", BytesOf("12345"));
    WriteFile(dir / "in/tree/sub/Grüße.bin", Bytes(1000, 7));
    ASSERT_EQ(RunCli({"encrypt", "-q", "--passphrase-env", "SW_SCRIPT_PW", "-o", dir / "c.vesk",
                      dir / "in/tree"})
                  .status,
              0);
    const Result r = RunCli({"list", "--json", "--passphrase-env", "SW_SCRIPT_PW", dir / "c.vesk"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "[\n"
              "  {\"name\": \"tree/a \\\"quoted\\\".txt\", \"size\": 5},\n"
              "  {\"name\": \"tree/sub/Grüße.bin\", \"size\": 1000}\n"
              "]\n");
}

TEST(CliProgress, LineShowsDoneOfTotalPercentageAndRate) {
    SetLanguageOffset(kOffsetEnglish);
    constexpr int64_t kMiB = 1 << 20;
    const struct {
        int64_t files, totalFiles, bytes, totalBytes;
        double seconds;
        std::string line;
    } cases[] = {
        {1, 3, 50 * kMiB, 200 * kMiB, 2.0, "1/3 files  50.0 of 200.0 MiB (25%)  26.2 MB/s"},
        {3, 3, 200 * kMiB, 200 * kMiB, 4.0, "3/3 files  200.0 of 200.0 MiB (100%)  52.4 MB/s"},
        {2, 2, 210 * kMiB, 200 * kMiB, 1.0, "2/2 files  210.0 of 200.0 MiB (100%)  220.2 MB/s"},
        {1, 0, 5 * kMiB, 0, 0.0, "1 files  5.0 MiB  0.0 MB/s"},
        {1, 4, 0, 0, 1.0, "1/4 files  0.0 MiB  0.0 MB/s"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            JobReporter::ProgressLine(c.files, c.totalFiles, c.bytes, c.totalBytes, c.seconds),
            c.line);
    }
    SetLanguageOffset(kOffsetGerman);
    EXPECT_EQ(JobReporter::ProgressLine(1, 3, 50 * kMiB, 200 * kMiB, 2.0),
              "1/3 Dateien  50.0 von 200.0 MiB (25%)  26.2 MB/s");
    SetLanguageOffset(kOffsetEnglish);
}

}  // namespace
}  // namespace sealwise::cli
