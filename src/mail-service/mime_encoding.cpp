#include "mime_encoding.h"

#include <algorithm>

namespace sealwise::mailservice {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned group = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
        for (int shift : {18, 12, 6, 0}) out += kAlphabet[(group >> shift) & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        const unsigned group = at(i) << 16 | (rest == 2 ? at(i + 1) << 8 : 0u);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool IsPrintableAscii(std::string_view bytes) {
    for (unsigned char c : bytes) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

}  // namespace

std::string Base64Lines(std::string_view bytes) {
    const std::string flat = Base64(bytes);
    std::string out;
    for (std::size_t i = 0; i < flat.size(); i += 76) {
        if (i > 0) out += "\r\n";
        out += flat.substr(i, 76);
    }
    return out;
}

std::string HeaderPhrase(std::string_view bytes, bool quoted, bool utf8) {
    if (IsPrintableAscii(bytes)) {
        if (!quoted) return std::string(bytes);
        std::string out = "\"";
        for (char c : bytes) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
        return out + "\"";
    }
    // 30 bytes give 40 Base64 characters: every encoded word stays well under 75 characters.
    // A UTF-8 character is never split between two words.
    constexpr std::size_t kChunk = 30;
    const std::string prefix = utf8 ? "=?utf-8?B?" : "=?windows-1252?B?";
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = std::min(kChunk, bytes.size() - i);
        while (utf8 && i + length < bytes.size() && length > 1 &&
               (static_cast<unsigned char>(bytes[i + length]) & 0xC0) == 0x80) {
            --length;
        }
        if (i > 0) out += "\r\n ";
        out += prefix + Base64(bytes.substr(i, length)) + "?=";
        i += length;
    }
    return out;
}

bool IsSevenBitClean(std::string_view body) {
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c == '\r') {
            if (i + 1 >= body.size() || body[i + 1] != '\n') return false;
            ++i;
            lineLength = 0;
            continue;
        }
        if ((c < 0x20 && c != '\t') || c > 0x7E) return false;
        if (++lineLength > 998) return false;
    }
    return true;
}

}  // namespace sealwise::mailservice
