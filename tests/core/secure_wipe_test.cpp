#include "util/secure_wipe.h"

#include <gtest/gtest.h>

#include <string>

namespace sealwise {
namespace {

// Appending one character at a time keeps every character, in order, through each growth of
// the buffer, whatever room the secret started with.
TEST(AppendSecret, KeepsEveryCharacterThroughGrowth) {
    const struct {
        std::size_t reserved;
        std::string start;
        std::size_t appended;
    } cases[] = {
        {0, "", 1},
        {0, "", 1000},  // from the small-string buffer on, several times larger
        {1, "", 40},
        {256, "", 257},             // one past the reserved room
        {0, "abcdefghijklmno", 1},  // exactly full small string
    };
    for (const auto& c : cases) {
        std::string secret = c.start;
        secret.reserve(c.reserved);
        std::string expected = c.start;
        for (std::size_t i = 0; i < c.appended; ++i) {
            const char next = static_cast<char>('!' + i % 90);
            AppendSecret(secret, next);
            expected.push_back(next);
        }
        EXPECT_EQ(secret, expected) << c.reserved << "+" << c.start.size() << "+" << c.appended;
    }
}

}  // namespace
}  // namespace sealwise
