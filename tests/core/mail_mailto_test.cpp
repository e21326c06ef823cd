#include <gtest/gtest.h>

#include <string>

#include "mail/control_escape.h"
#include "mail/mailto_link.h"

namespace sealwise {
namespace {

TEST(MailtoLink, PercentEncodingAndLineBreaks) {
    const struct {
        MailtoMessage message;
        const char* link;
    } cases[] = {
        {{"bob@example.net", "", ""}, "mailto:bob@example.net"},
        {{"", "Hi", ""}, "mailto:?subject=Hi"},
        {{"bob@example.net", "Encrypted message", "QUJD\r\nREVG=="},
         "mailto:bob@example.net?subject=Encrypted%20message&body=QUJD%0D%0AREVG%3D%3D"},
        // Base64's "+" and "/" must not turn into a blank or a path.
        {{"", "", "a+b/c"}, "mailto:?body=a%2Bb%2Fc"},
        // Lone LF and lone CR become CR LF.
        {{"", "", "1\n2\r3"}, "mailto:?body=1%0D%0A2%0D%0A3"},
        // UTF-8, byte by byte.
        {{"",
          "Gr\xC3\xBC\xC3\x9F"
          "e",
          ""},
         "mailto:?subject=Gr%C3%BC%C3%9Fe"},
        // What would end or split the address or a field.
        {{"a?b&c#d%e@x.org", "a&b=c", "#"},
         "mailto:a%3Fb%26c%23d%25e@x.org?subject=a%26b%3Dc&body=%23"},
        {{"", "-._~", ""}, "mailto:?subject=-._~"},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildMailtoLink(c.message), c.link) << c.link;
}

TEST(MailtoLink, HandOffKeepsTheArmourOnlyWithinTheLimit) {
    MailForm form{"Ann", "ann@example.org", "bob@example.net", "Hi Bob", "QUJD"};
    const MailtoHandOff small = HandOffLink(form, "S", "paste it");
    EXPECT_TRUE(small.armourInLink);
    EXPECT_EQ(small.link, "mailto:bob@example.net?subject=S&body=Hi%20Bob%0D%0A%0D%0AQUJD");

    // Exactly at the limit still fits; one character more does not.
    const std::size_t exact = small.link.size();
    EXPECT_TRUE(HandOffLink(form, "S", "paste it", exact).armourInLink);
    const MailtoHandOff over = HandOffLink(form, "S", "paste it", exact - 1);
    EXPECT_FALSE(over.armourInLink);
    EXPECT_EQ(over.link, "mailto:bob@example.net?subject=S&body=Hi%20Bob%0D%0A%0D%0Apaste%20it");

    // With the common limit: about 1,400 characters of armour still go into the link.
    form.message.clear();
    form.text = std::string(1400, 'Q');
    EXPECT_TRUE(HandOffLink(form, "S", "p").armourInLink);
    form.text = std::string(kMailtoCommonLimit, 'Q');
    EXPECT_FALSE(HandOffLink(form, "S", "p").armourInLink);
}

TEST(ControlEscape, LogKeepsPrintableAsciiOnly) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"/crypt/x.php", "/crypt/x.php"},        {"/a\nforged line", "/a\\x0Aforged line"},
        {"\x1B[31mred", "\\x1B[31mred"},         {"back\\slash", "back\\\\slash"},
        {"B\xC3\xA4r\x7F", "B\\xC3\\xA4r\\x7F"}, {std::string("a\0b", 3), "a\\x00b"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeForLog(c.in), c.out) << c.out;
}

TEST(ControlEscape, TerminalKeepsLettersOfEveryLanguage) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"Fehler beim Senden: \xC3\xBC\xE2\x82\xAC", "Fehler beim Senden: \xC3\xBC\xE2\x82\xAC"},
        {"\x1B]0;title\x07", "\\x1B]0;title\\x07"},
        {"\xC2\x9B"
         "31m",
         "\\u{009B}31m"},  // C1 control sequence introducer
        {"a\xE2\x80\xAE"
         "b",
         "a\\u{202E}b"},                      // right-to-left override
        {"\xFF\xC3", "\\xFF\\xC3"},           // invalid UTF-8
        {"\xE0\x80\xAF", "\\xE0\\x80\\xAF"},  // overlong form
        {"line\r\nnext", "line\\x0D\\x0Anext"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeForTerminal(c.in), c.out) << c.out;
}

}  // namespace
}  // namespace sealwise
