#pragma once
// Making text from the network safe to write into a log or onto a terminal: no line breaks
// that forge a log line, no escape sequences that steer a terminal.
#include <string>
#include <string_view>

namespace sealwise {

// Printable ASCII stays (a backslash is doubled); every other byte becomes "\xNN". For logs.
std::string EscapeForLog(std::string_view bytes);

// Printable characters of valid UTF-8 stay, so that texts in any language read well; control
// characters (C0, DEL, C1), the characters that reorder text (U+200E/F, U+202A-202E,
// U+2066-2069) and every byte of invalid UTF-8 become "\xNN" / "\u{NNNN}"; a backslash is doubled.
std::string EscapeForTerminal(std::string_view utf8);

}  // namespace sealwise
