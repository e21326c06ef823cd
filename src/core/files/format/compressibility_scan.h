#pragma once
// Decides, from one quick pass over every byte, whether deflate could shrink a piece of data by
// about 1 % or more. Deflate gains in two ways, and the pass estimates both: skewed byte
// frequencies (Huffman coding) from the entropy of each 4 KiB, and repeated strings within
// deflate's 32 KiB window from content-defined sample points. The sample points come from a
// secret table made once per process, so no file can be made to hide its repetitions from
// them.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace sealwise {

class CompressibilityScan {
  public:
    CompressibilityScan();

    // True when deflate is not expected to save 1 % of in; then storing in loses at most about
    // that much against deflate. Stops at the first 4 KiB that settles the answer.
    bool LooksIncompressible(std::span<const uint8_t> in);

  private:
    std::vector<uint32_t> lastSeen_;  // sample-point hash -> position + 1
};

}  // namespace sealwise
