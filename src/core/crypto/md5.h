#pragma once
// MD5 message digest (RFC 1321), used to combine shared keys.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sealwise {

using Md5Digest = std::array<uint8_t, 16>;

Md5Digest Md5(std::span<const uint8_t> message);
// Digest of a text's bytes (Windows-1252 when it fits, else UTF-8: TextToCp1252OrUtf8) as 32
// lowercase hex digits.
std::string DigestText(std::string_view text);
std::string ToLowerHex(std::span<const uint8_t> bytes);

}  // namespace sealwise
