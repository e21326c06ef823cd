#include "cli/modern_json.h"

#include <gtest/gtest.h>

namespace sealwise::cli {
namespace {

using modern::EntryMeta;
using modern::EntryType;

TEST(ModernJson, EveryEntryTypeGivesItsFields) {
    const struct {
        EntryMeta entry;
        std::string json;
    } cases[] = {
        {{EntryType::kFile, 0644, 1700000000, 5, 1ull << 40, "big.bin", ""},
         R"({"name": "big.bin", "size": 1099511627776, "type": "file", "mode": "0644", )"
         R"("mtime": 1700000000, "mtime_ns": 5})"},
        {{EntryType::kDirectory, 07755, -86400, 0, 0, "d/é", ""},
         R"({"name": "d/é", "size": 0, "type": "directory", "mode": "7755", "mtime": -86400, )"
         R"("mtime_ns": 0})"},
        {{EntryType::kSymlink, 0777, 0, 999999999, 9, "l", "../\"x\"\n"},
         R"({"name": "l", "size": 0, "type": "symlink", "mode": "0777", "mtime": 0, )"
         R"("mtime_ns": 999999999, "target": "../\"x\"\n"})"},
    };
    for (const auto& c : cases) EXPECT_EQ(ModernEntryJson(c.entry), c.json) << c.entry.name;
}

TEST(ModernJson, DamageNamesTheEntryOrElseItsNumber) {
    EXPECT_EQ(ModernDamageJson("a \"b\"", 4), R"({"name": "a \"b\"", "damaged": true})");
    EXPECT_EQ(ModernDamageJson("", 4), R"({"number": 4, "damaged": true})");
}

}  // namespace
}  // namespace sealwise::cli
