#pragma once
// Whether a text has the shape of an encrypted text's armour. The mail service relays nothing
// else, and the client checks the same before it sends.
#include <cstddef>
#include <string_view>

namespace sealwise {

// The lines framing the armour of the modern format; between them stands Base64 as below.
inline constexpr std::string_view kModernArmourBegin = "-----BEGIN SEALWISE MESSAGE-----";
inline constexpr std::string_view kModernArmourEnd = "-----END SEALWISE MESSAGE-----";

// The longest armour line accepted (MIME lines are 76 characters).
inline constexpr std::size_t kMaxArmourLine = 76;

// True for Base64 (RFC 4648 alphabet, "=" padding, which may be left out) of a non-zero
// multiple of 32 bytes, written as one line or as lines joined by CR LF where every line but
// the last has the same length, a multiple of 4 of at most 76 characters, and the last is not
// longer; one CR LF at the end is allowed. Also true for the modern format: its two framing
// lines around such Base64 lines of at least 32 bytes. Nothing else: no blanks, tabs, lone CR
// or LF, empty lines or foreign characters.
bool IsWellFormedArmour(std::string_view text);

}  // namespace sealwise
