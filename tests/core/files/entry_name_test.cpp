#include "files/format/entry_name.h"

#include <gtest/gtest.h>

namespace sealwise {
namespace {

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

// One marker at the start of the whole path, only when a character does not fit Windows-1252.
TEST(EntryNameMarker, StoredNamesCarryTheMarkerOnlyWhenNeeded) {
    const struct {
        const char* relative;
        Bytes stored;
    } cases[] = {
        {"proj/\xC3\xA9t\xC3\xA9.txt", B("proj\\\xE9t\xE9.txt")},
        {"Gru\xC3\x9F\xE2\x80\xA6.txt", B("Gru\xDF\x85.txt")},
        {"proj/\xCE\xB1/a.txt", B("\xEF\xBB\xBFproj\\\xCE\xB1\\a.txt")},
        {"\xC3\xAF\xC2\xBB\xC2\xBF.txt",
         B("\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBF.txt")},  // "ï»¿.txt"
    };
    for (const auto& c : cases) {
        const Bytes stored = EntryNameBytes("/unused", c.relative);
        EXPECT_EQ(stored, c.stored) << c.relative;
        std::string expected = c.relative;
        for (char& ch : expected) ch = ch == '/' ? '\\' : ch;
        EXPECT_EQ(DecodeEntryName(stored).text, expected) << c.relative;
    }
}

// Names written by other programs: unmarked bytes are Windows-1252, however UTF-8 they look.
TEST(EntryNameMarker, UnmarkedNamesReadAsWindows1252) {
    const struct {
        Bytes stored;
        std::vector<std::string> components;
    } cases[] = {
        {B("\xC3\xA9tude.txt"), {"\xC3\x83\xC2\xA9tude.txt"}},  // "Ã©tude.txt"
        {B("d\\Gru\xDF\x85.txt"), {"d", "Gru\xC3\x9F\xE2\x80\xA6.txt"}},
        {B("\xEF\xBB\xBF\xC3\xA9tude.txt"), {"\xC3\xA9tude.txt"}},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeEntryName(c.stored).components, c.components);
}

}  // namespace
}  // namespace sealwise
