#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "cli/commands.h"
#include "core/test_util.h"

namespace sealwise::cli {
namespace {

using test::LanguageScope;

TEST(RateCli, PrintsScoreVerdictStarsAndLamps) {
    LanguageScope english(kOffsetEnglish);
    Result r = RunCli({"rate", "abcdefgh"});
    EXPECT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.out,
              "score: 16\nverdict: This passphrase can presumably be cracked.\nstars: 2\n"
              "lamps: red yellow\nguesses: 16\n"
              "warning: This passphrase is common or easy to guess (about 16 guesses). A longer "
              "one made of unrelated words is much safer.\n");
    r = RunCli({"rate", "Aa1[Aa1[Aa1[Aa1[Aa1[Aa1[Aa1[Aa1[Aa1[Aa1["});
    EXPECT_EQ(r.out,
              "score: 100\nverdict: This passphrase provides maximum security.\nstars: 5\n"
              "lamps: green\nguesses: 814506250\n"
              "warning: This passphrase is common or easy to guess (about 814506250 guesses). A "
              "longer one made of unrelated words is much safer.\n");
    r = RunCli({"rate", "--", "-zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz"});  // 32, one symbol
    EXPECT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "score: 65");
}

TEST(RateCli, ReadsOneLineFromStandardInputKeepingBlanks) {
    LanguageScope english(kOffsetEnglish);
    // " a " is three lower-case characters (6); trimmed it would be one (2).
    Result r = RunCli({"rate"}, " a \nsecond line is ignored\n");
    EXPECT_EQ(r.out,
              "score: 6\nverdict: This passphrase is not secure.\nstars: 1\nlamps: red\n"
              "guesses: 93669\nwarning: This passphrase is common or easy to guess (about 93669 "
              "guesses). A longer one made of unrelated words is much safer.\n");
    // A CR LF line ending is not part of the passphrase: four characters, all classes.
    r = RunCli({"rate"}, "Aa1[\r\n");
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "score: 12");
    // Windows-1252 input: 0xE4 is an umlaut, class 3, so all four classes are there.
    r = RunCli({"rate"}, "Aa1\xE4\n");
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "score: 12");
    r = RunCli({"rate"}, "");
    EXPECT_EQ(r.status, kOk);
    EXPECT_EQ(r.out,
              "score: 0\nverdict: This passphrase is not secure.\nstars: 0\nlamps: red\n"
              "guesses: 1\nwarning: This passphrase is common or easy to guess (about 1 guesses). "
              "A longer one made of unrelated words is much safer.\n");
}

TEST(RateCli, VerdictInTheCurrentLanguage) {
    LanguageScope german(kOffsetGerman);
    const Result r = RunCli({"rate", ""});
    EXPECT_EQ(
        r.out,
        "Punktzahl: 0\nUrteil: Diese Passphrase ist nicht sicher.\nSterne: 0\nLampen: rot\n"
        "Versuche: 1\nWarnung: Diese Passphrase ist verbreitet oder leicht zu erraten (etwa 1 "
        "Versuche). Eine längere aus nicht zusammenhängenden Wörtern ist viel sicherer.\n");
}

TEST(RateCli, UsageErrors) {
    EXPECT_EQ(RunCli({"rate", "two", "words"}).status, kUsage);
    EXPECT_EQ(RunCli({"rate", "--no-such-option"}).status, kUsage);
    EXPECT_EQ(RunCli({"generate", "extra"}).status, kUsage);
}

TEST(GenerateCli, PrintsOnePassphraseLine) {
    const Result a = RunCli({"generate"}), b = RunCli({"generate"});
    ASSERT_EQ(a.status, kOk) << a.err;
    ASSERT_EQ(a.out.size(), 33u);
    EXPECT_EQ(a.out.back(), '\n');
    for (char c : a.out.substr(0, 32)) {
        EXPECT_GE(c, ' ');
        EXPECT_LE(c, '}');
    }
    EXPECT_NE(a.out, b.out);
}

TEST(PassphraseCliBinary, GenerateThenRate) {
    FILE* pipe = popen(SEALWISE_CLI_PATH " generate", "r");
    ASSERT_NE(pipe, nullptr);
    char line[64] = {};
    ASSERT_NE(fgets(line, sizeof line, pipe), nullptr);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(std::string(line).size(), 33u);

    pipe = popen("printf 'abcdefgh\\n' | LC_ALL=C " SEALWISE_CLI_PATH " rate", "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    while (fgets(line, sizeof line, pipe)) out += line;
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(out.rfind("score: 16\nverdict: ", 0), 0u) << out;
    EXPECT_NE(out.find("\nstars: 2\nlamps: red yellow\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace sealwise::cli
