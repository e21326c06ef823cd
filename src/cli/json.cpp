#include "cli/json.h"

#include <cstdio>

namespace sealwise::cli {
namespace {

// Length of the valid UTF-8 sequence at the start of text; 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto b0 = static_cast<unsigned char>(text[0]);
    std::size_t length;
    char32_t cp, minimum;
    if (b0 < 0x80) return 1;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text[0]);
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    out += '"';
    return out;
}

}  // namespace sealwise::cli
