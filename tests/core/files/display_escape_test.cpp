// Names from a container shown to people: nothing in them may move the cursor, change the
// terminal or reorder the text around them.
#include <gtest/gtest.h>

#include "files/format/entry_name.h"

namespace sealwise {
namespace {

TEST(EscapeForDisplay, HidesEveryControlAndDirectionCharacterAndNothingElse) {
    EXPECT_EQ(EscapeForDisplay("/out/a\\b c.txt"), "/out/a\\b c.txt");
    EXPECT_EQ(EscapeForDisplay("Grüße 日本"), "Grüße 日本");
    EXPECT_EQ(EscapeForDisplay("a\x1b]0;t\x07z\r\n\t"), "a\\x1B]0;t\\x07z\\x0D\\x0A\\x09");
    EXPECT_EQ(EscapeForDisplay("x\u0085y\u009bz"), "x\\u{0085}y\\u{009B}z");
    EXPECT_EQ(EscapeForDisplay("evil\u202Etxt.exe\u2066\u2069\u200F\u061C"),
              "evil\\u{202E}txt.exe\\u{2066}\\u{2069}\\u{200F}\\u{061C}");
    // Bytes that are no UTF-8 cannot smuggle a raw escape either.
    const std::string shown = EscapeForDisplay(std::string("\xff\x1b", 2));
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    // The printable form of a stored name also turns its separators into "/".
    EXPECT_EQ(PrintableName("dir\\sub\\\x1b"), "dir/sub/\\x1B");
}

}  // namespace
}  // namespace sealwise
