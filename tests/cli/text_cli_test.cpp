#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "cli/commands.h"
#include "core/test_util.h"
#include "text/text_crypt.h"

namespace sealwise::cli {
namespace {

class TextCli : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SW_TEST_PW", "Schl\xC3\xBCssel & more", 1);
        dir_ = std::filesystem::temp_directory_path() /
               ("sealwise-text-cli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string WriteFile(const std::string& name, const std::string& content) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    static Result Encrypt(const std::string& text, Args extra = {}) {
        Args args = {"encrypt-text"};
        const bool ownPassphrase =
            std::find(extra.begin(), extra.end(), "--passphrase-env") != extra.end();
        if (!ownPassphrase) args.insert(args.end(), {"--passphrase-env", "SW_TEST_PW"});
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args, text);
    }
    static Result Decrypt(const std::string& armour,
                          Args extra = {"--passphrase-env", "SW_TEST_PW"}) {
        Args args = {"decrypt-text"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args, armour);
    }
    // What decrypt-text prints for a text encrypted in a language: notice line, LF, text.
    static std::string Shown(const std::string& text, int offset = kOffsetEnglish) {
        return NoticeLine(offset) + "\n" + text;
    }

    test::LanguageScope english_{kOffsetEnglish};
    std::filesystem::path dir_;
};

TEST_F(TextCli, RoundTripsTextsWithUmlautsAndLineBreaks) {
    const std::string lf =
        "Gr\xC3\xBC\xC3\x9F"
        "e\nZeile zwei \xE2\x82\xAC\n";
    const Result enc = Encrypt(lf);
    ASSERT_EQ(enc.status, kOk) << enc.err;
    // Lines joined by CR LF and one more CR LF at the end: a lone LF would be read as a
    // Base64 character by readers that drop only CR LF pairs.
    ASSERT_TRUE(enc.out.ends_with("\r\n"));
    EXPECT_EQ(enc.out.find("\r\n"), 76u);
    const Result dec = Decrypt(enc.out);
    ASSERT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(dec.out, Shown(lf));

    // CR LF input is stored unchanged and printed with LF.
    const Result crlf = Decrypt(Encrypt("eins\r\nzwei").out);
    EXPECT_EQ(crlf.out, Shown("eins\nzwei"));
}

TEST_F(TextCli, StoresLineBreaksAsCrLf) {
    const Result enc = Encrypt("a\nb\r\nc");
    ASSERT_EQ(enc.status, kOk) << enc.err;
    TextCryptJob job;
    EXPECT_EQ(job.Decrypt(enc.out, TextKeyFromPassphrase("Schl\xC3\xBCssel & more")),
              WithNoticeLine("a\r\nb\r\nc", kOffsetEnglish));
}

TEST_F(TextCli, CharactersOutsideWindows1252RoundTrip) {
    const std::string text =
        "\xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9 und Gr\xC3\xBC\xC3\x9F"
        "e";
    const Result dec = Decrypt(Encrypt(text, {"--lang", "fr"}).out);
    ASSERT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(dec.out, Shown(text, kOffsetFrench));
}

TEST_F(TextCli, NoticeLanguageFromOptionOrCurrentLanguage) {
    EXPECT_EQ(Decrypt(Encrypt("x", {"--lang", "de"}).out).out, Shown("x", kOffsetGerman));
    EXPECT_EQ(Decrypt(Encrypt("x", {"--lang", "es"}).out).out, Shown("x", kOffsetSpanish));
    SetLanguageOffset(kOffsetFrench);
    EXPECT_EQ(Decrypt(Encrypt("x").out).out, Shown("x", kOffsetFrench));
    const Result bad = Encrypt("x", {"--lang", "it"});
    EXPECT_EQ(bad.status, kUsage);
    EXPECT_NE(bad.err.find("it"), std::string::npos);
}

TEST_F(TextCli, PassphraseSources) {
    const std::string file = WriteFile("pw.txt", "Schl\xC3\xBCssel & more\r\nsecond line\n");
    const Result enc = Encrypt("via file", {});
    const Result dec = Decrypt(enc.out, {"--passphrase-file", file});
    ASSERT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(dec.out, Shown("via file"));

    const Result missing = Decrypt(enc.out, {"--passphrase-file", (dir_ / "none").string()});
    EXPECT_EQ(missing.status, kFailure);
    EXPECT_NE(missing.err.find("Cannot read the file"), std::string::npos) << missing.err;

    unsetenv("SW_TEST_UNSET");
    const Result unset = Decrypt(enc.out, {"--passphrase-env", "SW_TEST_UNSET"});
    EXPECT_EQ(unset.status, kFailure);
    EXPECT_NE(unset.err.find("SW_TEST_UNSET is not set"), std::string::npos) << unset.err;

    EXPECT_EQ(Decrypt(enc.out, {"--passphrase-env", "A", "--passphrase-file", file}).status,
              kUsage);

    setenv("SW_TEST_LATIN1", "M\xFCnze", 1);  // not UTF-8
    EXPECT_EQ(Encrypt("x", {"--passphrase-env", "SW_TEST_LATIN1"}).status, kFailure);
}

TEST_F(TextCli, InputsThatCannotWorkFailWithAMessage) {
    const Result emptyText = Encrypt("");
    EXPECT_EQ(emptyText.status, kFailure);
    EXPECT_NE(emptyText.err.find("There is no text to encrypt"), std::string::npos)
        << emptyText.err;

    setenv("SW_TEST_EMPTY", "", 1);
    const Result emptyPassphrase = Encrypt("x", {"--passphrase-env", "SW_TEST_EMPTY"});
    EXPECT_EQ(emptyPassphrase.status, kFailure);
    EXPECT_NE(emptyPassphrase.err.find("The passphrase is empty."), std::string::npos);

    for (const std::string armour : {"", " \r\n", "QUJD", "QUJDRA==\n"}) {
        const Result r = Decrypt(armour);
        EXPECT_EQ(r.status, kFailure) << armour;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(Encrypt("M\xFCnze").status, kFailure);  // Windows-1252 bytes, not UTF-8
    EXPECT_EQ(Encrypt(std::string("a\0b", 3)).status, kFailure);

    SetLanguageOffset(kOffsetGerman);
    EXPECT_NE(Encrypt("").err.find("Fehler: Es gibt keinen Text"), std::string::npos);
}

TEST_F(TextCli, SharedKeyFile) {
    const std::string keys = WriteFile("keys.txt", "erster\nzweiter \xC3\xBC\r\ndritter\n");
    const Result enc = Encrypt("geteilt", {"--shared-key-file", keys});
    ASSERT_EQ(enc.status, kOk) << enc.err;
    // The shared keys win over a passphrase option given as well.
    const Result dec =
        Decrypt(enc.out, {"--passphrase-env", "SW_TEST_PW", "--shared-key-file", keys});
    ASSERT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(dec.out, Shown("geteilt"));
    EXPECT_NE(Decrypt(enc.out).out, Shown("geteilt"));

    const Result one = Decrypt(enc.out, {"--shared-key-file", WriteFile("one.txt", "only\n")});
    EXPECT_EQ(one.status, kFailure);
    EXPECT_NE(one.err.find("2 to 10 keys"), std::string::npos) << one.err;
    std::string eleven;
    for (int i = 0; i < 11; ++i) eleven += "k" + std::to_string(i) + "\n";
    EXPECT_EQ(Decrypt(enc.out, {"--shared-key-file", WriteFile("11.txt", eleven)}).status,
              kFailure);
    const Result gap = Decrypt(enc.out, {"--shared-key-file", WriteFile("gap.txt", "a\n\nc\n")});
    EXPECT_EQ(gap.status, kFailure);
    EXPECT_NE(gap.err.find("Key 2 is missing"), std::string::npos) << gap.err;
}

TEST_F(TextCli, WrongKeysPrintNothingAndFail) {
    const std::string armour = Encrypt("secret").out;
    const std::string keys = WriteFile("k.txt", "one\ntwo\n");
    const Args wrong[] = {{"--passphrase-env", "SW_TEST_WRONG"}, {"--shared-key-file", keys}};
    setenv("SW_TEST_WRONG", "Schl\xC3\xBCssel & mora", 1);
    for (const Args& args : wrong) {
        const Result r = Decrypt(armour, args);
        EXPECT_EQ(r.status, kFailure);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("The passphrase is wrong"), std::string::npos) << r.err;
    }
}

// Editors may start a UTF-8 file with a byte-order mark; it is no part of a key.
TEST_F(TextCli, ByteOrderMarkOfKeyFilesIsDropped) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string passphraseFile = WriteFile("pw.txt", bom + "Schl\xC3\xBCssel & more\n");
    EXPECT_EQ(Decrypt(Encrypt("x").out, {"--passphrase-file", passphraseFile}).out, Shown("x"));

    const std::string plain = WriteFile("k1.txt", "one\ntwo\n");
    const std::string marked = WriteFile("k2.txt", bom + "one\r\ntwo\r\n");
    const Result enc = Encrypt("shared", {"--shared-key-file", plain});
    EXPECT_EQ(Decrypt(enc.out, {"--shared-key-file", marked}).out, Shown("shared"));
}

TEST_F(TextCli, BinaryTakesItsLanguageFromTheLocale) {
    const std::string out = (dir_ / "out.txt").string();
    const std::string command = "LC_ALL=de_AT.UTF-8 SW_TEST_PW=x " SEALWISE_CLI_PATH
                                " encrypt-text --passphrase-env SW_TEST_PW </dev/null 2>" +
                                out;
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kFailure);
    std::ifstream in(out);
    const std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(err.find("Fehler: Es gibt keinen Text"), std::string::npos) << err;
}

}  // namespace
}  // namespace sealwise::cli
