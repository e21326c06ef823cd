#include "util/text_codec.h"

#include <algorithm>
#include <array>

namespace sealwise {
namespace {

// Code points of bytes 0x80..0x9F; unassigned bytes keep their C1 control code point.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

std::size_t DecodeUtf8Sequence(std::string_view text, char32_t& cp) {
    const auto b0 = static_cast<uint8_t>(text[0]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < len) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<uint8_t>(text[i]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        char32_t cp;
        const std::size_t length = DecodeUtf8Sequence(text, cp);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

std::optional<uint8_t> Cp1252FromCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<uint8_t>(cp);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == cp) return static_cast<uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

char32_t Cp1252ToCodePoint(uint8_t b) {
    if (b >= 0x80 && b <= 0x9F) return kHighTable[b - 0x80];
    return b;
}

std::u32string Utf8ToCodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
    std::size_t n = utf8.size();
    while (n > 0) {
        char32_t cp;
        std::size_t len =
            DecodeUtf8Sequence(std::string_view(reinterpret_cast<const char*>(p), n), cp);
        if (len == 0) {
            out.push_back(0xFFFD);
            len = 1;
        } else {
            out.push_back(cp);
        }
        p += len;
        n -= len;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string CodePointsToUtf8(std::u32string_view cps) {
    std::string out;
    out.reserve(cps.size());
    for (char32_t cp : cps) AppendUtf8(out, cp);
    return out;
}

bool FitsCp1252(std::string_view utf8) {
    for (char32_t cp : Utf8ToCodePoints(utf8)) {
        if (!Cp1252FromCodePoint(cp)) return false;
    }
    return true;
}

std::optional<Bytes> TextToCp1252(std::string_view utf8) {
    Bytes out;
    out.reserve(utf8.size());
    for (char32_t cp : Utf8ToCodePoints(utf8)) {
        const auto b = Cp1252FromCodePoint(cp);
        if (!b) return std::nullopt;
        out.push_back(*b);
    }
    return out;
}

Bytes TextToCp1252Lossy(std::string_view utf8) {
    Bytes out;
    out.reserve(utf8.size());
    for (char32_t cp : Utf8ToCodePoints(utf8)) out.push_back(Cp1252FromCodePoint(cp).value_or('?'));
    return out;
}

Bytes TextToCp1252OrUtf8(std::string_view utf8) {
    if (std::optional<Bytes> cp1252 = TextToCp1252(utf8)) return std::move(*cp1252);
    const std::string canonical = CodePointsToUtf8(Utf8ToCodePoints(utf8));
    return Bytes(canonical.begin(), canonical.end());
}

namespace {

bool StartsWithMarker(const uint8_t* data, std::size_t size) {
    return size >= kUtf8Marker.size() &&
           std::equal(kUtf8Marker.begin(), kUtf8Marker.end(), data,
                      [](char m, uint8_t b) { return static_cast<uint8_t>(m) == b; });
}

}  // namespace

Bytes EncodeStoredText(std::string_view utf8) {
    std::optional<Bytes> cp1252 = TextToCp1252(utf8);
    if (cp1252 && !StartsWithMarker(cp1252->data(), cp1252->size())) return std::move(*cp1252);
    const std::string canonical = CodePointsToUtf8(Utf8ToCodePoints(utf8));
    Bytes out(kUtf8Marker.begin(), kUtf8Marker.end());
    out.insert(out.end(), canonical.begin(), canonical.end());
    return out;
}

std::string Cp1252ToText(const uint8_t* data, std::size_t size) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) AppendUtf8(out, Cp1252ToCodePoint(data[i]));
    return out;
}

std::string DecodeStoredText(const uint8_t* data, std::size_t size) {
    if (!StartsWithMarker(data, size)) return Cp1252ToText(data, size);
    const std::size_t skip = kUtf8Marker.size();
    // Damaged UTF-8 shows as U+FFFD rather than passing invalid bytes on.
    return CodePointsToUtf8(Utf8ToCodePoints(
        std::string_view(reinterpret_cast<const char*>(data) + skip, size - skip)));
}

std::string Utf8OrCp1252ToText(const uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    while (i < size) {
        char32_t cp;
        const std::size_t len = DecodeUtf8Sequence(
            std::string_view(reinterpret_cast<const char*>(data) + i, size - i), cp);
        if (len == 0) return Cp1252ToText(data, size);
        i += len;
    }
    return std::string(reinterpret_cast<const char*>(data), size);
}

uint8_t Cp1252CodeOrQuestion(char32_t cp) { return Cp1252FromCodePoint(cp).value_or('?'); }

}  // namespace sealwise
