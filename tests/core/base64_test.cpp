#include "text/base64.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace sealwise {
namespace {

Bytes Ascii(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes RandomBytes(std::size_t n) {
    static std::mt19937 rng(20240611);
    return test::RandomBytes(rng, n);
}

TEST(Base64, Rfc4648Vectors) {
    EXPECT_EQ(EncodeBase64(Ascii("f")), "Zg==");
    EXPECT_EQ(EncodeBase64(Ascii("fo")), "Zm8=");
    EXPECT_EQ(EncodeBase64(Ascii("foobar")), "Zm9vYmFy");
    EXPECT_EQ(EncodeBase64(Bytes{0xFB, 0xFF}), "+/8=");
    EXPECT_EQ(DecodeBase64("Zm9vYg=="), Ascii("foob"));
    EXPECT_EQ(DecodeBase64("+/8="), (Bytes{0xFB, 0xFF}));
}

TEST(Base64, LineBreaksAfterEvery76Characters) {
    const std::string one = EncodeBase64(Bytes(57, 0xAB));
    EXPECT_EQ(one.size(), 76u);
    EXPECT_EQ(one.find('\r'), std::string::npos);

    const std::string two = EncodeBase64(Bytes(58, 0xAB));
    ASSERT_EQ(two.size(), 82u);
    EXPECT_EQ(two.substr(76, 2), "\r\n");
    EXPECT_EQ(two.substr(80), "==");

    const std::string block = EncodeBase64(Bytes(32, 1));
    EXPECT_EQ(block.size(), 44u);
    EXPECT_EQ(block.back(), '=');

    const std::string blocks = EncodeBase64(Bytes(64, 1));
    ASSERT_EQ(blocks.size(), 90u);
    EXPECT_EQ(blocks.substr(76, 2), "\r\n");
    EXPECT_EQ(blocks.substr(88), "==");

    // Two full lines: one break between them, none at the end.
    EXPECT_EQ(EncodeBase64(Bytes(114, 7)).size(), 154u);
}

TEST(Base64, RoundTripsEveryLengthAndShape) {
    for (std::size_t length = 1; length <= 300; ++length) {
        const Bytes data = RandomBytes(length);
        const std::string text = EncodeBase64(data);
        for (std::size_t start = 0; start < text.size(); start += 78) {
            const std::size_t end = text.find("\r\n", start);
            const std::size_t lineLength = (end == std::string::npos ? text.size() : end) - start;
            if (end != std::string::npos) {
                ASSERT_EQ(lineLength, 76u) << length;
            }
            ASSERT_GE(lineLength, 4u) << length;
        }
        ASSERT_NE(text.substr(text.size() - 2), "\r\n") << length;
        ASSERT_EQ(DecodeBase64(text), data) << length;
    }
}

TEST(Base64, LeftoverCharactersAfterTheLastGroup) {
    EXPECT_EQ(DecodeBase64("Zm9").size(), 2u);
    EXPECT_EQ(DecodeBase64("Zm9"), Ascii("fo"));
    EXPECT_EQ(DecodeBase64("Zm9vY"), Ascii("foo"));  // the fifth character is dropped
    EXPECT_TRUE(DecodeBase64("").empty());
    EXPECT_TRUE(DecodeBase64("==\r\n").empty());
}

TEST(Base64, IgnoresLineBreaksBlanksAndPaddingAnywhere) {
    const Bytes data = RandomBytes(100);
    const std::string crlf = EncodeBase64(data);
    std::string flat, lf, spaced;
    for (char c : crlf) {
        if (c == '\r') continue;
        lf += c;
        if (c == '\n') continue;
        if (c != '=') flat += c;
        spaced += c;
        spaced += (spaced.size() % 7 == 0) ? "\t" : " ";
    }
    EXPECT_EQ(DecodeBase64(flat), data);
    EXPECT_EQ(DecodeBase64(lf), data);  // armour that lost its CRs on the way
    EXPECT_EQ(DecodeBase64(spaced), data);
    EXPECT_EQ(DecodeBase64("Zm=9v\rYm\nFy=="), Ascii("foobar"));
}

TEST(Base64, ForeignCharactersCountAsZero) {
    // "*" and a character outside the code page both decode like "A".
    EXPECT_EQ(DecodeBase64("*m9v"), DecodeBase64("Am9v"));
    EXPECT_EQ(DecodeBase64("\xCE\xB1m9v"), DecodeBase64("Am9v"));
}

}  // namespace
}  // namespace sealwise
