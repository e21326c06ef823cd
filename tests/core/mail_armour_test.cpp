#include <gtest/gtest.h>

#include <string>

#include "mail/armour_shape.h"
#include "text/base64.h"

namespace sealwise {
namespace {

std::string ArmourOf(std::size_t bytes) { return EncodeBase64(Bytes(bytes, 0xA5)); }

// Base64 of bytes in lines of width characters joined by CR LF.
std::string Lines(std::size_t bytes, std::size_t width) {
    const std::string flat = ArmourOf(bytes);
    std::string joined;
    std::size_t start = 0;
    for (char c : flat) {
        if (c == '\r' || c == '\n') continue;
        if (start > 0 && start % width == 0) joined += "\r\n";
        joined += c;
        ++start;
    }
    return joined;
}

std::string WithoutPadding(std::string text) {
    while (!text.empty() && text.back() == '=') text.pop_back();
    return text;
}

TEST(ArmourShape, AcceptsArmourAndItsToleratedForms) {
    const std::string modern = std::string(kModernArmourBegin) + "\r\n" + Lines(100, 64) + "\r\n" +
                               std::string(kModernArmourEnd);
    const std::string cases[] = {
        ArmourOf(32),                  // one line ending in "="
        ArmourOf(64),                  // 76 + CR LF + 12
        ArmourOf(96 * 32),             // many lines
        ArmourOf(64) + "\r\n",         // a final line break
        WithoutPadding(ArmourOf(64)),  // padding left out
        Lines(64 * 3, 64),             // 64-character lines
        Lines(64, 200),                // one long line
        modern,
    };
    for (const std::string& text : cases) EXPECT_TRUE(IsWellFormedArmour(text)) << text;
}

TEST(ArmourShape, RefusesEverythingElse) {
    const std::string good = ArmourOf(64);
    const std::string cases[] = {
        "",
        "THIS IS NOT ARMOUR BUY PILLS http://spam.example",
        ArmourOf(31),  // not a multiple of 32
        ArmourOf(33),
        ArmourOf(48),
        "QUJD",                                             // 3 bytes
        " " + good,                                         // a blank
        good.substr(0, 76) + "\n" + good.substr(78),        // lone LF
        good.substr(0, 76) + "\r\n\r\n" + good.substr(78),  // empty line
        good + "\r\n\r\n",
        Lines(96, 62),                               // 62 is not a multiple of 4
        Lines(96, 80),                               // lines longer than 76
        good.substr(0, 10) + "=" + good.substr(11),  // "=" inside
        good.substr(0, 10) + "-" + good.substr(11),  // URL-safe alphabet
        good.substr(0, 10) + "\xC3\xA4" + good.substr(11),
        good + "===",
        std::string(kModernArmourBegin) + "\r\n" + std::string(kModernArmourEnd),
        std::string(kModernArmourBegin) + "\r\nQUJD\r\n" + std::string(kModernArmourEnd),
    };
    for (const std::string& text : cases) EXPECT_FALSE(IsWellFormedArmour(text)) << text;
}

TEST(ArmourShape, LastLineMayBeShorterNeverLonger) {
    const std::string twoLines = ArmourOf(64);  // 76 + 12
    const std::size_t split = twoLines.find("\r\n");
    const std::string swapped = twoLines.substr(split + 2) + "\r\n" + twoLines.substr(0, split);
    EXPECT_TRUE(IsWellFormedArmour(twoLines));
    EXPECT_FALSE(IsWellFormedArmour(swapped));
}

}  // namespace
}  // namespace sealwise
