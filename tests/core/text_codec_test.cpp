#include "util/text_codec.h"

#include <gtest/gtest.h>

namespace sealwise {
namespace {

TEST(TextCodec, Windows1252FullTableRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const uint8_t byte = static_cast<uint8_t>(b);
        const std::string text = Cp1252ToText(&byte, 1);
        const Bytes back = TextToBytes(text);
        ASSERT_EQ(back, Bytes{byte}) << "byte " << b;
    }
    EXPECT_EQ(TextToBytes("\xE2\x82\xAC"), Bytes{0x80});  // euro sign
    EXPECT_EQ(TextToBytes("\xC5\xA0"), Bytes{0x8A});      // S with caron
    EXPECT_EQ(TextToBytes("\xC3\xBC"), Bytes{0xFC});      // u umlaut
}

TEST(TextCodec, CharactersOutsideTheCodePageKeepTheTextAsUtf8) {
    const std::string greek = "a\xCE\xB1\xC3\xA4";  // a, alpha, a-umlaut
    const Bytes stored = TextToBytes(greek);
    EXPECT_EQ(std::string(stored.begin(), stored.end()), greek);
    EXPECT_EQ(BytesToText(stored), greek);
    EXPECT_FALSE(FitsCp1252(greek));
    EXPECT_EQ(TextToCp1252Lossy(greek), (Bytes{'a', '?', 0xE4}));
}

TEST(TextCodec, ReadingPrefersWindows1252UnlessValidMultiByteUtf8) {
    const Bytes latin = {'M', 0xFC, 'n'};  // "Mün" in Windows-1252, invalid as UTF-8
    EXPECT_EQ(BytesToText(latin), "M\xC3\xBCn");
    const Bytes ascii = {'a', 'b'};
    EXPECT_EQ(BytesToText(ascii), "ab");
    const Bytes utf8 = {'M', 0xC3, 0xBC, 'n'};
    EXPECT_EQ(BytesToText(utf8), "M\xC3\xBCn");
    EXPECT_EQ(Cp1252CodeOrQuestion(0x3B1), '?');
    EXPECT_EQ(Cp1252CodeOrQuestion(0xE4), 0xE4);
}

}  // namespace
}  // namespace sealwise
