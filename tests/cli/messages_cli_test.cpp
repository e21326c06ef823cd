// The command line's own messages: one "sealwise-cli: error:" prefix, a text naming the cause,
// usage errors as sentences, "help COMMAND", and help without the parser's type annotations.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <set>
#include <sstream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "core/files/file_test_support.h"

namespace sealwise::cli {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class CliMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLanguageOffset(kOffsetEnglish);
        setenv("SW_MSG_PW", "message test", 1);
        setenv("SW_MSG_EMPTY", "", 1);
    }
    void TearDown() override { SetLanguageOffset(kOffsetEnglish); }
    test::ScratchDir dir;
};

struct CauseCase {
    const char* name;
    Args args;
    std::string input;
    int status;
    std::string message;  // the whole first line of stderr after the prefix
};

TEST_F(CliMessages, EachCauseHasItsOwnMessage) {
    const CauseCase cases[] = {
        {"empty text",
         {"encrypt-text", "--passphrase-env", "SW_MSG_PW"},
         "",
         1,
         "There is no text to encrypt: standard input is empty."},
        {"empty passphrase",
         {"encrypt-text", "--passphrase-env", "SW_MSG_EMPTY"},
         "hello",
         1,
         "The passphrase is empty."},
        {"empty armour",
         {"decrypt-text", "--passphrase-env", "SW_MSG_PW"},
         " \r\n",
         1,
         "There is no encrypted text to decrypt: standard input is empty."},
        {"not armour",
         {"decrypt-text", "--passphrase-env", "SW_MSG_PW"},
         "no armour here!",
         1,
         "The input is not encrypted text: it is not Base64 of whole cipher blocks."},
        {"bad hex digit",
         {"envelope", "encrypt", "--key-hex", "zz"},
         "x",
         2,
         "The key holds 'z', which is not a hexadecimal digit (0-9, a-f)."},
        {"odd hex digits",
         {"envelope", "encrypt", "--key-hex", "abc"},
         "x",
         2,
         "The key needs an even number of hexadecimal digits (two per byte)."},
        {"empty key", {"envelope", "encrypt", "--key-hex", ""}, "x", 2, "The key is empty."},
        {"no key", {"envelope", "encrypt"}, "x", 2, "Give the key with --key-hex or --key-file."},
        {"unknown command", {"encrpyt"}, "", 2, "Unknown command 'encrpyt'."},
    };
    for (const auto& c : cases) {
        const Result r = RunCli(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "sealwise-cli: error: " + c.message) << c.name;
        EXPECT_TRUE(r.out.empty()) << c.name;
    }
}

TEST_F(CliMessages, TableMessagesThatStartWithErrorLoseTheirOwnPrefix) {
    test::WriteFile(dir / "in/a.txt", {'a'});
    ASSERT_EQ(RunCli({"encrypt", "-q", "--passphrase-env", "SW_MSG_PW", "-o", dir / "c.vesk",
                      dir / "in/a.txt"})
                  .status,
              0);
    setenv("SW_MSG_WRONG", "another passphrase", 1);
    const Result r = RunCli({"list", "--passphrase-env", "SW_MSG_WRONG", dir / "c.vesk"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "sealwise-cli: error: There is either a device error or the password you have "
              "entered was invalid.\n");
    EXPECT_EQ(Count(r.err, "rror:"), 1u) << r.err;
}

TEST_F(CliMessages, UsageErrorsAreSentencesWithAHint) {
    const struct {
        Args args;
        std::string message;
    } cases[] = {
        {{"list"}, "container is required."},
        {{"list", "--bogus", "c.vesk"}, "Unexpected argument: --bogus"},
        {{"list", "c.vesk", "--passphrase-file"}, "--passphrase-file needs a value."},
        {{"decrypt", "--overwrite", "--no-overwrite", "c.vesk"},
         "--overwrite and --no-overwrite cannot be used together."},
    };
    for (const auto& c : cases) {
        const Result r = RunCli(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err, "sealwise-cli: error: " + c.message + "\nhint: Run 'sealwise-cli " +
                             c.args[0] + " --help' for usage.\n");
    }
}

TEST_F(CliMessages, HelpCommandShowsTheCommandsOwnHelp) {
    for (const char* command : {"encrypt", "decrypt-text", "envelope", "rate", "list"}) {
        const Result viaHelp = RunCli({"help", command});
        const Result viaOption = RunCli({command, "--help"});
        EXPECT_EQ(viaHelp.status, 0) << command;
        EXPECT_EQ(viaHelp.out, viaOption.out) << command;
        EXPECT_NE(viaHelp.out.find(std::string("sealwise-cli ") + command), std::string::npos);
    }
    const Result unknown = RunCli({"help", "nosuch"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')),
              "sealwise-cli: error: Unknown command 'nosuch'.");
}

TEST_F(CliMessages, HelpShowsPlaceholdersNotParserTypes) {
    for (const char* command : {"encrypt-text", "decrypt-text", "encrypt", "decrypt", "list",
                                "rate", "generate", "mail", "envelope", "bench"}) {
        const std::string help = RunCli({command, "--help"}).out;
        for (const char* noise :
             {"UINT", "INT in", "FLOAT", "NUMBER", ":INT", "TEXT:", " in [", "[Option Group"}) {
            EXPECT_EQ(help.find(noise), std::string::npos) << command << " shows " << noise;
        }
    }
    const std::string bench = RunCli({"bench", "--help"}).out;
    EXPECT_NE(bench.find("--sample-kib KIB"), std::string::npos) << bench;
}

// Every stage runs and reports a throughput, the modern format's among them.
TEST_F(CliMessages, BenchMeasuresEveryStage) {
    const Result r = RunCli({"bench", "--seconds", "0.01", "--sample-kib", "64"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string name, unit;
    double rate = 0;
    std::set<std::string> names;
    while (lines >> name >> rate >> unit) {
        EXPECT_GT(rate, 0) << name;
        EXPECT_EQ(unit, "MB/s") << name;
        names.insert(name);
    }
    EXPECT_TRUE(lines.eof()) << r.out;
    for (const char* stage : {"deflate-compress", "deflate-decompress", "base64-encode",
                              "modern-pack", "modern-pack-noise", "modern-unpack", "modern-seal"}) {
        EXPECT_TRUE(names.count(stage)) << stage << " missing from\n" << r.out;
    }
}

}  // namespace
}  // namespace sealwise::cli
