#include "cli/modern_json.h"

#include <cstdio>

#include "cli/json.h"

namespace sealwise::cli {
namespace {

const char* TypeName(modern::EntryType type) {
    switch (type) {
        case modern::EntryType::kFile:
            return "file";
        case modern::EntryType::kDirectory:
            return "directory";
        case modern::EntryType::kSymlink:
            return "symlink";
    }
    return "file";
}

}  // namespace

std::string ModernEntryJson(const modern::EntryMeta& entry) {
    // The size of what is restored: a link's stored size is its target's length.
    const uint64_t size = entry.type == modern::EntryType::kFile ? entry.size : 0;
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(entry.mode));
    std::string json = "{\"name\": " + JsonString(entry.name) +
                       ", \"size\": " + std::to_string(size) + ", \"type\": \"" +
                       TypeName(entry.type) + "\", \"mode\": \"" + mode +
                       "\", \"mtime\": " + std::to_string(entry.mtimeSeconds) +
                       ", \"mtime_ns\": " + std::to_string(entry.mtimeNanoseconds);
    if (entry.type == modern::EntryType::kSymlink) {
        json += ", \"target\": " + JsonString(entry.linkTarget);
    }
    return json + "}";
}

std::string ModernDamageJson(const std::string& entry, uint64_t number) {
    if (!entry.empty()) return "{\"name\": " + JsonString(entry) + ", \"damaged\": true}";
    return "{\"number\": " + std::to_string(number) + ", \"damaged\": true}";
}

}  // namespace sealwise::cli
