#include "text/base64.h"

#include <array>

#include "util/text_codec.h"

namespace sealwise {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineLength = 76;

// Value of every byte: its alphabet position, 0 for everything else.
constexpr std::array<uint8_t, 256> MakeDecodeTable() {
    std::array<uint8_t, 256> table{};
    for (uint8_t value = 0; value < 64; ++value) {
        table[static_cast<uint8_t>(kAlphabet[value])] = value;
    }
    return table;
}
constexpr std::array<uint8_t, 256> kDecodeTable = MakeDecodeTable();

// Characters that carry no data: line breaks in any convention, blanks, tabs and padding.
// Mail programs and editors turn CR LF into LF; decoding those as value 0 would corrupt text.
constexpr bool IsIgnored(uint8_t c) {
    return c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == '=';
}

}  // namespace

std::string EncodeBase64(const Bytes& bytes) {
    const std::size_t length = bytes.size();
    const std::size_t remainder = length % 3;
    const std::size_t unbroken = 4 * (length / 3) + (remainder > 0 ? 4 : 0);
    std::size_t total = unbroken + 2 * (unbroken / kLineLength);
    if (unbroken > 0 && unbroken % kLineLength == 0) total -= 2;  // no break after the last line

    std::string out(total, '\0');
    std::size_t pos = 0;
    std::size_t lineFill = 0;
    auto put = [&](char c) {
        if (lineFill == kLineLength) {
            out[pos++] = '\r';
            out[pos++] = '\n';
            lineFill = 0;
        }
        out[pos++] = c;
        ++lineFill;
    };

    std::size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const uint32_t group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        put(kAlphabet[(group >> 18) & 63]);
        put(kAlphabet[(group >> 12) & 63]);
        put(kAlphabet[(group >> 6) & 63]);
        put(kAlphabet[group & 63]);
    }
    if (remainder == 1) {
        put(kAlphabet[bytes[i] >> 2]);
        put(kAlphabet[(bytes[i] & 3) << 4]);
        put('=');
        put('=');
    } else if (remainder == 2) {
        put(kAlphabet[bytes[i] >> 2]);
        put(kAlphabet[((bytes[i] & 3) << 4) | (bytes[i + 1] >> 4)]);
        put(kAlphabet[(bytes[i + 1] & 15) << 2]);
        put('=');
    }
    return out;
}

Bytes DecodeBase64(std::string_view text) {
    // One byte per character as in the ANSI code page; a character it lacks becomes "?",
    // which is not in the alphabet and so counts as 0 like any other foreign character.
    const Bytes ansi = TextToCp1252Lossy(text);
    Bytes values;
    values.reserve(ansi.size());
    for (uint8_t c : ansi) {
        if (!IsIgnored(c)) values.push_back(kDecodeTable[c]);
    }

    const std::size_t n = values.size();
    const std::size_t remainder = n % 4;
    Bytes out(3 * (n / 4) + (remainder == 2 ? 1 : 0) + (remainder == 3 ? 2 : 0));
    std::size_t pos = 0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const uint8_t a = values[i], b = values[i + 1], c = values[i + 2], d = values[i + 3];
        out[pos++] = static_cast<uint8_t>(a << 2 | b >> 4);
        out[pos++] = static_cast<uint8_t>((b & 15) << 4 | c >> 2);
        out[pos++] = static_cast<uint8_t>((c & 3) << 6 | d);
    }
    if (remainder >= 2) out[pos++] = static_cast<uint8_t>(values[i] << 2 | values[i + 1] >> 4);
    if (remainder == 3) {
        out[pos++] = static_cast<uint8_t>((values[i + 1] & 15) << 4 | values[i + 2] >> 2);
    }
    return out;
}

}  // namespace sealwise
