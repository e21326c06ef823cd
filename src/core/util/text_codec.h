#pragma once
// Text <-> bytes. Inside the program texts are UTF-8 std::strings; stored and hashed texts are
// Windows-1252, one byte per character (the full table, 0x80-0x9F included). A text holding a
// character Windows-1252 lacks is stored as UTF-8 instead of losing it to "?".
#include <optional>
#include <string>
#include <string_view>

#include "util/bytes.h"

namespace sealwise {

// Windows-1252 byte of a Unicode code point, if the code page has it.
std::optional<uint8_t> Cp1252FromCodePoint(char32_t cp);
// Unicode code point of a Windows-1252 byte (the five unassigned bytes map to U+0081 etc.).
char32_t Cp1252ToCodePoint(uint8_t b);

// Decodes UTF-8 into code points; invalid sequences yield U+FFFD per bad byte.
std::u32string Utf8ToCodePoints(std::string_view utf8);
std::string CodePointsToUtf8(std::u32string_view cps);
void AppendUtf8(std::string& out, char32_t cp);

// True when the text can be stored as Windows-1252 without loss.
bool FitsCp1252(std::string_view utf8);

// The stored form of a text: Windows-1252 when it fits, otherwise its UTF-8 bytes.
Bytes TextToBytes(std::string_view utf8);
// Strict Windows-1252 form: characters the code page lacks become "?" (0x3F).
Bytes TextToCp1252Lossy(std::string_view utf8);

// Reads stored bytes back: UTF-8 when they are valid UTF-8 holding a multi-byte sequence,
// otherwise Windows-1252.
std::string BytesToText(const uint8_t* data, std::size_t size);
inline std::string BytesToText(const Bytes& b) { return BytesToText(b.data(), b.size()); }
// Pure Windows-1252 decoding, one character per byte.
std::string Cp1252ToText(const uint8_t* data, std::size_t size);

// The Windows-1252 code used to classify a character (63, "?", when the code page lacks it).
uint8_t Cp1252CodeOrQuestion(char32_t cp);

}  // namespace sealwise
