#include "text/text_crypt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "app/string_table.h"
#include "crypto/cbc_envelope.h"
#include "text/base64.h"
#include "text/line_breaks.h"
#include "util/errors.h"

namespace sealwise {
namespace {

const std::string kText =
    "Gr\xC3\xBC\xC3\x9F"
    "e aus M\xC3\xBCnchen\r\nZeile 2 \xE2\x82\xAC";

std::string Encrypt(std::string_view text, std::string_view passphrase,
                    int offset = kOffsetEnglish) {
    TextCryptJob job;
    return job.Encrypt(text, TextKeyFromPassphrase(passphrase), offset).value();
}

std::string Decrypt(std::string_view armour, std::string_view passphrase) {
    TextCryptJob job;
    return job.Decrypt(armour, TextKeyFromPassphrase(passphrase)).value();
}

std::optional<Msg> ErrorId(const std::function<void()>& f) {
    try {
        f();
    } catch (const SealError& e) {
        return e.stringId();
    }
    return std::nullopt;
}

TEST(TextCrypt, RandomPrefixMakesEveryArmourDifferent) {
    const std::string a = Encrypt(kText, "secret words");
    const std::string b = Encrypt(kText, "secret words");
    EXPECT_NE(a, b);
    EXPECT_EQ(Decrypt(a, "secret words"), WithNoticeLine(kText, kOffsetEnglish));
    EXPECT_EQ(Decrypt(b, "secret words"), WithNoticeLine(kText, kOffsetEnglish));
}

// Bytes stored after the random prefix for a text and the language of encryption.
Bytes StoredPlaintext(std::string_view text, int offset) {
    const std::string armour = Encrypt(text, "pw", offset);
    const Bytes plain = OpenEnvelope(DecodeBase64(armour), MakeKeyString("pw"));
    Bytes stored(plain.begin() + 32, plain.end());
    while (!stored.empty() && stored.back() == 0) stored.pop_back();
    return stored;
}

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

// The notice line is always Windows-1252; the text is too when it fits, else it is marked.
TEST(TextCrypt, NoticeLineStaysWindows1252AndOnlyTheTextIsMarked) {
    const std::string german =
        "Dieser Text wurde mit Sealwise (kostenlos) verschl\xFCsselt - "
        "https://sealwise.example/\r\n";
    const struct {
        const char* text;
        std::string stored;
    } cases[] = {
        {"Gru\xC3\x9F\xE2\x80\xA6", german + "Gru\xDF\x85"},
        {"\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9", german + "\xC3\xA9t\xC3\xA9"},
        {"\xCE\xA9 \xC3\xA4", german + "\xEF\xBB\xBF\xCE\xA9 \xC3\xA4"},
    };
    for (const auto& c : cases) EXPECT_EQ(StoredPlaintext(c.text, kOffsetGerman), B(c.stored));
}

TEST(TextCrypt, TextsRoundTripExactly) {
    const char* texts[] = {
        "Gru\xC3\x9F\xE2\x80\xA6",                                      // bytes DF 85
        "\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9",                            // "Ã©tÃ©"
        "\xE2\x80\x9EStra\xC3\x9F\xE2\x80\x9C",                         // „Straß“
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE2\x82\xAC\r\nline 2",  // 日本語 €
        "\xC3\xAF\xC2\xBB\xC2\xBF starts like a marker",
        "\xEF\xBB\xBF starts with U+FEFF",
    };
    for (const char* text : texts) {
        EXPECT_EQ(Decrypt(Encrypt(text, "pw", kOffsetFrench), "pw"),
                  WithNoticeLine(text, kOffsetFrench));
    }
}

// Other programs key a passphrase with "?" for characters outside Windows-1252.
TEST(TextCrypt, ArmourKeyedWithQuestionMarksOpensWithTheSamePassphrase) {
    const std::string passphrase = "\xE6\x97\xA5\xE6\x9C\xAC pass";  // "日本 pass"
    for (Bytes key : {MakeQuestionMarkKey(passphrase), MakeKeyString(passphrase)}) {
        TextCryptJob writer;
        const std::string armour = writer.Encrypt("Hallo", key, kOffsetGerman).value();
        TextCryptJob reader;
        EXPECT_EQ(reader.Decrypt(armour, TextKeysFromPassphrase(passphrase)),
                  WithNoticeLine("Hallo", kOffsetGerman));
    }
}

TEST(TextCrypt, WrongPassphraseIsRefusedAsWrongKeyOrDamage) {
    const std::string armour = Encrypt(kText, "right");
    EXPECT_EQ(ErrorId([&] { Decrypt(armour, "wrong"); }), Msg::WrongKeyOrDamage);
    TextCryptJob job;
    EXPECT_EQ(ErrorId([&] { job.Decrypt(armour, TextKeysFromPassphrase("\xCE\xB1")); }),
              Msg::WrongKeyOrDamage);
}

TEST(NoticeLine, RecognisedByItsForm) {
    const struct {
        std::string shown;
        std::optional<std::size_t> length;
    } cases[] = {
        {NoticeLine(kOffsetEnglish) + "\r\ntext", NoticeLine(kOffsetEnglish).size()},
        {"Made with Other Tool - www.other.example\r\n", 40},
        {"Mit \xFC - http://x.example/a?b=1\r\n", 30},                 // Windows-1252 byte
        {"Made with Other Tool - www.other.example\n", std::nullopt},  // lone LF
        {"Made with Other Tool - www.other.example", std::nullopt},    // no line end
        {"Made with Other Tool www.other.example\r\n", std::nullopt},  // no " - "
        {"Made with Other Tool - no address\r\n", std::nullopt},
        {"Made with Other Tool - nodot\r\n", std::nullopt},
        {"Made \x01with Tool - www.other.example\r\n", std::nullopt},  // control byte
        {"Made \x81with Tool - www.other.example\r\n", std::nullopt},  // unassigned byte
        {std::string(600, 'x') + " - a.example\r\n", std::nullopt},    // too long
    };
    for (const auto& c : cases) EXPECT_EQ(NoticeLineLength(B(c.shown)), c.length) << c.shown;
}

TEST(TextCrypt, StoredPlaintextLayout) {
    // Windows-1252 text is stored one byte per character after 32 random bytes and the notice.
    const std::string armour = Encrypt("M\xC3\xBCnze", "pw", kOffsetGerman);
    const Bytes plain = OpenEnvelope(DecodeBase64(armour), MakeKeyString("pw"));
    const std::string notice = "Dieser Text wurde mit Sealwise (kostenlos) verschl\xFCsselt - " +
                               std::string("https://sealwise.example/") + "\r\nM\xFCnze";
    ASSERT_GE(plain.size(), 32 + notice.size());
    EXPECT_EQ(std::string(plain.begin() + 32, plain.begin() + 32 + notice.size()), notice);
    EXPECT_EQ(plain.size() % 32, 0u);
    for (std::size_t i = 32 + notice.size(); i < plain.size(); ++i) EXPECT_EQ(plain[i], 0);
}

TEST(TextCrypt, DamagedLayoutOfTheArmourStillDecrypts) {
    const std::string armour = Encrypt(std::string(200, 'x'), "pw");
    ASSERT_NE(armour.find("\r\n"), std::string::npos);
    std::string flat, spaced, lfOnly;
    for (char c : armour) {
        if (c != '\r' && c != '\n' && c != '=') flat += c;
        if (c != '\r') lfOnly += c;
        spaced += c;
        if (c == '\n') spaced += "  ";
    }
    const std::string expected = Decrypt(armour, "pw");
    EXPECT_EQ(Decrypt(flat, "pw"), expected);
    EXPECT_EQ(Decrypt(" " + spaced + " ", "pw"), expected);
    EXPECT_EQ(Decrypt(lfOnly, "pw"), expected);
}

TEST(TextCrypt, NoticeLineFollowsTheLanguageOfEncryption) {
    const std::string french = Encrypt("Bonjour", "pw", kOffsetFrench);
    EXPECT_EQ(Decrypt(french, "pw"),
              "Ce texte a \xC3\xA9t\xC3\xA9 chiffr\xC3\xA9 avec Sealwise (gratuit) - "
              "https://sealwise.example/\r\nBonjour");
    const std::string spanish = Encrypt("Hola", "pw", kOffsetSpanish);
    EXPECT_EQ(Decrypt(spanish, "pw"), WithNoticeLine("Hola", kOffsetSpanish));
    EXPECT_EQ(NoticeLine(12345), NoticeLine(kOffsetEnglish));
}

TEST(TextCrypt, ReencryptingADecryptedTextStacksNoticeLines) {
    const std::string once = Decrypt(Encrypt("Hi", "pw"), "pw");
    const std::string twice = Decrypt(Encrypt(once, "pw", kOffsetGerman), "pw");
    EXPECT_EQ(twice, NoticeLine(kOffsetGerman) + "\r\n" + NoticeLine(kOffsetEnglish) + "\r\nHi");
}

TEST(TextCrypt, InputsThatCannotWorkAskToCheckNamesAndPassword) {
    EXPECT_EQ(ErrorId([] { TextKeyFromPassphrase(""); }), Msg::CheckNamesAndPassword);
    EXPECT_EQ(ErrorId([] { Encrypt("", "pw"); }), Msg::CheckNamesAndPassword);
    // A NUL would silently end the decrypted text early.
    EXPECT_EQ(ErrorId([] { Encrypt(std::string("ab\0cd", 5), "pw"); }), Msg::TextHoldsNul);
    EXPECT_EQ(ErrorId([] { Decrypt("", "pw"); }), Msg::CheckNamesAndPassword);
    EXPECT_EQ(ErrorId([] { Decrypt("  \r\n==  ", "pw"); }), Msg::CheckNamesAndPassword);
    // 31 bytes and 33 bytes are not whole cipher blocks.
    EXPECT_EQ(ErrorId([] { Decrypt(EncodeBase64(Bytes(31, 1)), "pw"); }),
              Msg::CheckNamesAndPassword);
    EXPECT_EQ(ErrorId([] { Decrypt(EncodeBase64(Bytes(33, 1)), "pw"); }),
              Msg::CheckNamesAndPassword);
    // One block holds only the random prefix: no notice line, so no text of this format.
    const Bytes block = SealEnvelope(Bytes(32, 7), MakeKeyString("pw"));
    EXPECT_EQ(ErrorId([&] { Decrypt(EncodeBase64(block), "pw"); }), Msg::WrongKeyOrDamage);
}

struct RecordingProgress : ProgressSink {
    int32_t max = -1;
    std::vector<int32_t> positions;
    std::function<void()> onFirstPosition;
    void SetMax(int32_t v) override { max = v; }
    void SetMin(int32_t) override {}
    void SetPosition(int32_t v) override {
        positions.push_back(v);
        if (positions.size() == 1 && onFirstPosition) onFirstPosition();
    }
};

TEST(TextCrypt, StopRequestedBeforehandStopsEncryptionAndDecryption) {
    const std::string armour = Encrypt(std::string(1000, 'z'), "pw");
    std::stop_source stop;
    stop.request_stop();
    TextCryptJob job(stop.get_token());
    EXPECT_EQ(job.Encrypt("text", MakeKeyString("pw"), kOffsetEnglish), std::nullopt);
    EXPECT_EQ(job.Decrypt(armour, MakeKeyString("pw")), std::nullopt);
}

TEST(TextCrypt, StopFromAnotherThreadReachesTheRunningJob) {
    // The job announces its start through the progress bar and waits there until the other
    // thread has requested the stop.
    std::stop_source stop;
    std::atomic<bool> started{false};
    RecordingProgress progress;
    progress.onFirstPosition = [&] {
        started = true;
        while (!stop.stop_requested()) std::this_thread::yield();
    };
    TextCryptJob job(stop.get_token(), &progress);
    std::optional<std::string> result = "not run";
    std::thread worker(
        [&] { result = job.Encrypt(std::string(10000, 'q'), MakeKeyString("pw"), 0); });
    while (!started) std::this_thread::yield();
    stop.request_stop();
    worker.join();
    EXPECT_EQ(result, std::nullopt);
}

// Progress counts cipher blocks: maximum n + 1, rising positions, the end at n + 1.
TEST(TextCrypt, ProgressCountsBlocksAndEndsAtTheMaximum) {
    const std::size_t textLength = 200000;  // several slices
    RecordingProgress progress;
    TextCryptJob job({}, &progress);
    ASSERT_TRUE(job.Encrypt(std::string(textLength, 'p'), MakeKeyString("pw"), kOffsetEnglish));
    const int32_t blocks = progress.max - 1;
    EXPECT_GT(blocks, static_cast<int32_t>(textLength / 32));
    ASSERT_GE(progress.positions.size(), 3u);
    EXPECT_EQ(progress.positions.front(), 0);
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_EQ(progress.positions.back(), progress.max);
    EXPECT_EQ(progress.positions[progress.positions.size() - 2], blocks);
}

TEST(TextCrypt, SharedKeysDecryptWhatTheyEncrypted) {
    auto store = [](std::string a, std::string b, std::string c) {
        SharedKeyStore s;
        s.slots = {a, b, c};
        s.countText = "3";
        s.keyShown = 1;
        s.passphraseBox = a;
        return s;
    };
    SharedKeyStore writer = store("alpha", "beta", "gamma");
    TextCryptJob encryptJob;
    const std::string armour =
        encryptJob.Encrypt("shared", TextKeyFromSharedKeys(writer), kOffsetEnglish).value();
    EXPECT_TRUE(writer.slots[0].empty() && writer.slots[2].empty());  // wiped after use

    SharedKeyStore reader = store("alpha", "beta", "gamma");
    TextCryptJob decryptJob;
    EXPECT_EQ(decryptJob.Decrypt(armour, TextKeyFromSharedKeys(reader)),
              WithNoticeLine("shared", kOffsetEnglish));

    SharedKeyStore swapped = store("beta", "alpha", "gamma");
    TextCryptJob wrongJob;
    EXPECT_EQ(ErrorId([&] { wrongJob.Decrypt(armour, TextKeysFromSharedKeys(swapped)); }),
              Msg::WrongKeyOrDamage);

    SharedKeyStore missing = store("alpha", "", "gamma");
    EXPECT_EQ(ErrorId([&] { TextKeyFromSharedKeys(missing); }), Msg::SharedKeyMissing);
    EXPECT_TRUE(missing.slots[0].empty());
}

TEST(LineBreaks, ConvertsBetweenLfAndCrLf) {
    EXPECT_EQ(LfToCrLf("a\nb\r\nc\n\n"), "a\r\nb\r\nc\r\n\r\n");
    EXPECT_EQ(LfToCrLf("\nx\r"), "\r\nx\r");
    EXPECT_EQ(CrLfToLf("a\r\nb\rc\n\r\n"), "a\nb\rc\n\n");
}

}  // namespace
}  // namespace sealwise
