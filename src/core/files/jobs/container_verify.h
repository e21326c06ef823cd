#pragma once
// Checks every entry of a classic container completely without writing anything: deciphers and
// inflates every chunk, checks each piece's length against the entry's layout and the zlib
// checksum of every stream (the format has no other check value).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sealwise {

struct VerifiedEntry {
    int number = 0;        // position in the index, from 1
    std::string name;      // as stored, "\" between components; empty when unreadable
    int64_t size = 0;      // bytes its data inflated to
    bool damaged = false;  // a chunk did not decipher, inflate or fit
};

// Records of size 0 (files that failed when the container was made) are left out. Throws
// SealError as listing does (108, 424, 426, 103, and 194 when the first entry does not
// decipher: a wrong key).
std::vector<VerifiedEntry> VerifyClassicContainer(const std::string& path,
                                                  std::span<const uint8_t> key);

}  // namespace sealwise
