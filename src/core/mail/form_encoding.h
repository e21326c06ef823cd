#pragma once
// Encoding of one value of the mail form (application/x-www-form-urlencoded).
#include <string>
#include <string_view>

namespace sealwise {

// Marks a value sent as UTF-8 (a byte-order mark in front); unmarked values are Windows-1252.
inline constexpr std::string_view kUtf8FieldMarker = "\xEF\xBB\xBF";

// Encodes a UTF-8 text byte by byte: blank -> "+", "0"-"9", "A"-"Z", "a"-"z" as they are,
// every other byte -> "%" and two upper-case hexadecimal digits. The bytes are the text's
// Windows-1252 codes when every character fits that code page, otherwise the marker followed
// by the text's UTF-8 bytes (so nothing becomes "?").
std::string EncodeFormField(std::string_view text);

}  // namespace sealwise
