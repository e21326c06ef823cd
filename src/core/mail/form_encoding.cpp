#include "mail/form_encoding.h"

#include <array>

#include "util/text_codec.h"

namespace sealwise {
namespace {

// Codes that stay as they are: the digits and the ASCII letters.
constexpr std::array<bool, 256> kSafeCodes = [] {
    std::array<bool, 256> safe{};
    for (int c = '0'; c <= '9'; ++c) safe[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) safe[c] = true;
    for (int c = 'a'; c <= 'z'; ++c) safe[c] = true;
    return safe;
}();

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendEncoded(std::string& encoded, uint8_t code) {
    if (code == ' ') {
        encoded += '+';
    } else if (kSafeCodes[code]) {
        encoded += static_cast<char>(code);
    } else {
        encoded += '%';
        encoded += kHexDigits[code >> 4];
        encoded += kHexDigits[code & 0x0F];
    }
}

}  // namespace

std::string EncodeFormField(std::string_view text) {
    std::string encoded;
    encoded.reserve(text.size() * 3);
    if (FitsCp1252(text)) {
        for (char32_t c : Utf8ToCodePoints(text)) AppendEncoded(encoded, Cp1252CodeOrQuestion(c));
        return encoded;
    }
    for (char c : kUtf8FieldMarker) AppendEncoded(encoded, static_cast<uint8_t>(c));
    for (char c : text) AppendEncoded(encoded, static_cast<uint8_t>(c));
    return encoded;
}

}  // namespace sealwise
