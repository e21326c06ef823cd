#pragma once
// Base64 armour of encrypted texts: RFC 4648 alphabet with "=" padding, MIME lines of 76
// characters joined by CR LF, no line break at the end.
#include <string>
#include <string_view>

#include "util/bytes.h"

namespace sealwise {

// Base64 text of bytes (empty text for no bytes).
std::string EncodeBase64(const Bytes& bytes);

// Bytes of Base64 text. Never rejects input: CR, LF, blanks, tabs and every "=" are ignored
// wherever they stand; any other character outside the alphabet counts as value 0; a single
// character left over after the last group of four is dropped.
Bytes DecodeBase64(std::string_view text);

}  // namespace sealwise
