#pragma once
// The notice line that opens every encrypted text: a sentence naming the program that made it,
// " - " and a web address. Other programs of the format write their own name and address, so a
// reader recognises the line by its form, which also tells a right key from a wrong one.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sealwise {

// This program's notice line for a language offset (English for any offset but 0, 1900, 2900).
std::string NoticeLine(int languageOffset);

// The text as it stands in the text box while it is being encrypted: notice line, CR LF, text.
std::string WithNoticeLine(std::string_view text, int languageOffset);

// When shown (the plaintext after the random prefix) starts with a notice line: the number of
// bytes of that line, CR LF not included. The line must be printable Windows-1252, end in CR LF
// and carry " - " followed by a web address (no blanks, a dot in it) at its end.
std::optional<std::size_t> NoticeLineLength(std::span<const uint8_t> shown);

}  // namespace sealwise
