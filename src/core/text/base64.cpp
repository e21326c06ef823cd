#include "text/base64.h"

#include <algorithm>
#include <array>
#include <span>

#include "util/text_codec.h"

namespace sealwise {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineLength = 76;

// Marks the characters that carry no data: line breaks in any convention, blanks, tabs and
// padding. Mail programs and editors turn CR LF into LF; decoding those as value 0 would
// corrupt text.
constexpr uint8_t kIgnored = 0xFF;

// Value of every byte: its alphabet position, kIgnored, or 0 for everything else.
constexpr std::array<uint8_t, 256> MakeDecodeTable() {
    std::array<uint8_t, 256> table{};
    for (uint8_t value = 0; value < 64; ++value) {
        table[static_cast<uint8_t>(kAlphabet[value])] = value;
    }
    for (char c : {'\r', '\n', ' ', '\t', '='}) table[static_cast<uint8_t>(c)] = kIgnored;
    return table;
}
constexpr std::array<uint8_t, 256> kDecodeTable = MakeDecodeTable();

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
    // Armour is plain ASCII, which needs no conversion.
    const auto* begin = reinterpret_cast<const uint8_t*>(text.data());
    std::span<const uint8_t> input(begin, text.size());
    Bytes converted;
    if (!std::all_of(input.begin(), input.end(), [](uint8_t c) { return c < 0x80; })) {
        converted = TextToCp1252Lossy(text);
        input = converted;
    }

    Bytes out(input.size() / 4 * 3 + 3);
    std::size_t pos = 0;
    uint32_t group = 0;  // the values of up to four characters, six bits each
    int count = 0;
    for (uint8_t c : input) {
        const uint8_t value = kDecodeTable[c];
        if (value == kIgnored) continue;
        group = group << 6 | value;
        if (++count == 4) {
            out[pos++] = static_cast<uint8_t>(group >> 16);
            out[pos++] = static_cast<uint8_t>(group >> 8);
            out[pos++] = static_cast<uint8_t>(group);
            group = 0;
            count = 0;
        }
    }
    // Two or three characters left make one or two bytes; a single one makes none.
    if (count == 2) out[pos++] = static_cast<uint8_t>(group >> 4);
    if (count == 3) {
        out[pos++] = static_cast<uint8_t>(group >> 10);
        out[pos++] = static_cast<uint8_t>(group >> 2);
    }
    out.resize(pos);
    return out;
}

}  // namespace sealwise
