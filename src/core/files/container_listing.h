#pragma once
// The table of contents of a container: each entry's name and restored size. Only the first
// cipher blocks of every chunk are deciphered (the name, and each block's length field), so
// listing a large container reads little of it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sealwise {

struct ListedEntry {
    int number = 0;        // position in the index, from 1
    std::string name;      // as stored, "\" between components; empty when damaged
    int64_t size = 0;      // sum of the uncompressed lengths of its chunks
    bool damaged = false;  // a chunk does not carry a sound compressed block
};

// Records of size 0 (files that failed when the container was made) are left out. Throws
// SealError as DecryptContainerJob::Run does (108, 424, 426, 103, and 194 for a wrong key).
std::vector<ListedEntry> ListContainer(const std::string& path, std::span<const uint8_t> key);

}  // namespace sealwise
