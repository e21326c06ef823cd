#include "mail/control_escape.h"

#include <cstdio>

namespace sealwise {
namespace {

void AppendByteEscape(std::string& out, unsigned char byte) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", byte);
    out += code;
}

// Length of the valid UTF-8 sequence at text[0] and its code point; 0 when invalid.
std::size_t Utf8Sequence(std::string_view text, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

bool IsUnsafeCodePoint(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x200E || cp == 0x200F ||
           (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

std::string EscapeForLog(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            AppendByteEscape(out, byte);
        }
    }
    return out;
}

std::string EscapeForTerminal(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t cp = 0;
        const std::size_t length = Utf8Sequence(utf8, cp);
        if (length == 0) {
            AppendByteEscape(out, static_cast<unsigned char>(utf8[0]));
            utf8.remove_prefix(1);
            continue;
        }
        if (cp == '\\') {
            out += "\\\\";
        } else if (cp < 0x80 && IsUnsafeCodePoint(cp)) {
            AppendByteEscape(out, static_cast<unsigned char>(cp));
        } else if (IsUnsafeCodePoint(cp)) {
            char code[12];
            std::snprintf(code, sizeof code, "\\u{%04X}", static_cast<unsigned>(cp));
            out += code;
        } else {
            out.append(utf8.substr(0, length));
        }
        utf8.remove_prefix(length);
    }
    return out;
}

}  // namespace sealwise
