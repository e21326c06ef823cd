#include "util/port_number.h"

#include <gtest/gtest.h>

namespace sealwise {
namespace {

TEST(PortNumber, DecimalDigitsUpTo65535) {
    const struct {
        const char* text;
        std::optional<uint16_t> port;
    } cases[] = {
        {"0", 0},         {"1", 1},      {"8025", 8025}, {"00080", 80},
        {"65535", 65535}, {"65536", {}}, {"99999", {}},  {"000000", {}},
        {"", {}},         {"+80", {}},   {"-1", {}},     {" 80", {}},
        {"80 ", {}},      {"8o", {}},    {"0x50", {}},   {"\xd9\xa1", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParsePort(c.text), c.port) << c.text;
}

}  // namespace
}  // namespace sealwise
