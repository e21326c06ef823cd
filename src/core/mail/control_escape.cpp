#include "mail/control_escape.h"

#include <cstdio>

#include "util/text_codec.h"

namespace sealwise {
namespace {

void AppendByteEscape(std::string& out, unsigned char byte) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", byte);
    out += code;
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
        const std::size_t length = DecodeUtf8Sequence(utf8, cp);
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
            char code[16];  // room for any 32-bit value, though code points end at 10FFFF
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
