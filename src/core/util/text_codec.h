#pragma once
// Text <-> bytes. Inside the program texts are UTF-8 std::strings; stored and hashed texts are
// Windows-1252, one byte per character (the full table, 0x80-0x9F included).
//
// Stored texts and entry names that hold a character Windows-1252 lacks are written as the
// marker EF BB BF (a UTF-8 byte-order mark) followed by their UTF-8 bytes. Everything without
// the marker is Windows-1252, so bytes that merely look like UTF-8 ("Gruß…" is DF 85) are read
// as the Windows-1252 text they are.
#include <optional>
#include <string>
#include <string_view>

#include "util/bytes.h"

namespace sealwise {

// The marker in front of a stored text or name that is UTF-8.
inline constexpr std::string_view kUtf8Marker = "\xEF\xBB\xBF";

// Windows-1252 byte of a Unicode code point, if the code page has it.
std::optional<uint8_t> Cp1252FromCodePoint(char32_t cp);
// Unicode code point of a Windows-1252 byte (the five unassigned bytes map to U+0081 etc.).
char32_t Cp1252ToCodePoint(uint8_t b);

// The length (1 to 4) of the well-formed UTF-8 sequence at the start of text, its code point in
// cp; 0 when there is none there: a stray or cut-short sequence, an overlong form, a surrogate
// or a value past U+10FFFF. text must not be empty.
std::size_t DecodeUtf8Sequence(std::string_view text, char32_t& cp);
// True when all of text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// Decodes UTF-8 into code points; invalid sequences yield U+FFFD per bad byte.
std::u32string Utf8ToCodePoints(std::string_view utf8);
std::string CodePointsToUtf8(std::u32string_view cps);
void AppendUtf8(std::string& out, char32_t cp);

// True when the text can be stored as Windows-1252 without loss.
bool FitsCp1252(std::string_view utf8);

// Windows-1252 bytes of the text, or nullopt when a character does not fit.
std::optional<Bytes> TextToCp1252(std::string_view utf8);
// Strict Windows-1252 form: characters the code page lacks become "?" (0x3F).
Bytes TextToCp1252Lossy(std::string_view utf8);
// Windows-1252 when the text fits, else its plain UTF-8 bytes (no marker): the bytes a key
// text is hashed from.
Bytes TextToCp1252OrUtf8(std::string_view utf8);

// The stored form of a text or entry name: Windows-1252 when it fits, else the marker and
// UTF-8. A text that fits but whose Windows-1252 bytes would begin with the marker ("ï»¿") is
// marked too, so that every text reads back as written.
Bytes EncodeStoredText(std::string_view utf8);
// Reads a stored text or name: UTF-8 after a leading marker, else Windows-1252.
std::string DecodeStoredText(const uint8_t* data, std::size_t size);
inline std::string DecodeStoredText(const Bytes& b) { return DecodeStoredText(b.data(), b.size()); }

// Pure Windows-1252 decoding, one character per byte.
std::string Cp1252ToText(const uint8_t* data, std::size_t size);

// Bytes of unknown origin typed or received (a terminal, an HTTP answer): UTF-8 when they are
// well-formed UTF-8, else Windows-1252. Never used for stored data.
std::string Utf8OrCp1252ToText(const uint8_t* data, std::size_t size);

// The Windows-1252 code used to classify a character (63, "?", when the code page lacks it).
uint8_t Cp1252CodeOrQuestion(char32_t cp);

}  // namespace sealwise
