#pragma once
// Turns fuzz input into a container enciphered under a fixed key, so that the fuzzer steers
// what lies behind the decryption (names, compressed blocks, chunk chains) instead of
// producing cipher text that never deciphers to anything meaningful.
//
// Recipe layout, read front to back; whatever is missing counts as zero:
//   u8 flags (bit 0: overwrite existing files when asked)
//   up to 6 entries, each:
//     u8 kind       0 file, 1 raw chunk-0 plaintext, 2 empty index record, 3 file whose
//                   block length is shifted by a delta, 4 file larger than one chunk;
//                   a value of 0xF0 or more ends the entries
//     u8 n, n bytes          the stored name
//     u16le d, d bytes       the file contents (kind 1: the chunk-0 plaintext)
//     u8 extra               0-2 raw plaintexts of further chunks (chained), each u16le + bytes
//     i8 delta               added to U (kind 3)
//   u8 count, then count index manipulations: u8 op, u32le value
//     op 0: set the size of entry value%8 to value>>8; 1: cut value%64 bytes off the end;
//     2: xor byte value%size with value>>24; 3: append value%8 bytes 0xFF
#include <cstdint>
#include <span>

#include "util/bytes.h"

namespace sealwise::fuzz {

// The key every recipe is enciphered with (and the harness decrypts with).
Bytes RecipeKey();

struct Recipe {
    Bytes container;
    bool overwrite = false;
};

Recipe BuildContainer(std::span<const uint8_t> input);

}  // namespace sealwise::fuzz
