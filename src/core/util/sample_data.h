#pragma once
// Deterministic sample data for throughput measurements (`sealwise-cli bench`, bench/): the same
// bytes in every run, so that figures from different runs and machines compare.
#include <cstddef>
#include <cstdint>

#include "util/bytes.h"

namespace sealwise {

// Bytes that look random: deflate stores them, the cipher takes them as any other.
Bytes SampleNoise(std::size_t size, uint64_t seed = 42);

// Log lines from a small vocabulary: compressible, but not trivially.
Bytes SampleLogText(std::size_t size);

}  // namespace sealwise
