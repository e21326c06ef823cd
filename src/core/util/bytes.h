#pragma once
// Byte arrays as the cipher, codec and container routines take and return them.
#include <cstdint>
#include <optional>
#include <vector>

namespace sealwise {

using Bytes = std::vector<uint8_t>;

// "No result at all" (a failed or cancelled operation) as opposed to a zero-length result.
using MaybeBytes = std::optional<Bytes>;

}  // namespace sealwise
