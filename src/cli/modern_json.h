#pragma once
// The JSON object `list --json` prints for an entry of a modern container: the classic
// listing's "name" and "size", and what the modern entry carries besides (type, permission
// bits, modification time, link target).
#include <string>

#include "modern/records.h"

namespace sealwise::cli {

// One line, without separator or indentation, e.g.
// {"name": "a/b", "size": 3, "type": "file", "mode": "0644", "mtime": 1700000000,
//  "mtime_ns": 0}; a link adds "target", a directory has size 0.
std::string ModernEntryJson(const modern::EntryMeta& entry);

// The object standing for the damaged part: the entry the damage hit, or, between entries,
// its number (counting from 1, as the classic listing does).
std::string ModernDamageJson(const std::string& entry, uint64_t number);

}  // namespace sealwise::cli
