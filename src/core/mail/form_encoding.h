#pragma once
// Encoding of one value of the mail form (application/x-www-form-urlencoded).
#include <string>
#include <string_view>

namespace sealwise {

// Encodes a UTF-8 text character by character through its Windows-1252 code (a character the
// code page lacks counts as "?"): blank -> "+", "0"-"9", "A"-"Z", "a"-"z" as they are, every
// other code -> "%" and two upper-case hexadecimal digits.
std::string EncodeFormField(std::string_view text);

}  // namespace sealwise
