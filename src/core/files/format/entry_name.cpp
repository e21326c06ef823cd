#include "files/format/entry_name.h"

#include <cstdio>

#include "app/msg.h"
#include "files/format/container_format.h"
#include "util/errors.h"
#include "util/text_codec.h"

namespace sealwise {
namespace {

bool IsControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

bool IsBidiControl(char32_t cp) {
    return cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069) || cp == 0x061C;
}

bool IsDrive(std::u32string_view component) {
    return component.size() >= 2 && component[1] == U':' &&
           ((component[0] >= U'A' && component[0] <= U'Z') ||
            (component[0] >= U'a' && component[0] <= U'z'));
}

bool SafeComponent(std::u32string_view c) {
    if (c.empty() || c == U"." || c == U"..") return false;
    for (char32_t cp : c) {
        if (IsControl(cp)) return false;
    }
    return true;
}

}  // namespace

Bytes EntryNameBytes(std::string_view path, std::string_view relativeName) {
    if (relativeName == kOwnFileMarker) {
        const auto slash = path.find_last_of('/');
        std::u32string base =
            Utf8ToCodePoints(slash == std::string_view::npos ? path : path.substr(slash + 1));
        if (base.size() > container::kMaxNameBytes) base.resize(container::kMaxNameBytes);
        // Outside Windows-1252 a character takes several bytes: cut further until it fits.
        for (;;) {
            Bytes stored = EncodeStoredText(CodePointsToUtf8(base));
            if (stored.size() <= static_cast<std::size_t>(container::kMaxNameBytes)) return stored;
            base.pop_back();
        }
    }
    std::string name(relativeName);
    for (char& ch : name) {
        if (ch == '/') ch = '\\';
    }
    if (!name.empty() && name.front() == '\\') name.erase(0, 1);
    Bytes stored = EncodeStoredText(name);
    if (stored.size() > static_cast<std::size_t>(container::kMaxNameBytes)) {
        throw SealError(Msg::NameTooLong, name, "entry name longer than 255 bytes");
    }
    return stored;
}

DecodedEntryName DecodeEntryName(std::span<const uint8_t> bytes) {
    DecodedEntryName result;
    result.text = DecodeStoredText(bytes.data(), bytes.size());
    const std::u32string text = Utf8ToCodePoints(result.text);
    std::vector<std::string> components;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of(U"\\/", start);
        const std::u32string_view component = std::u32string_view(text).substr(
            start, end == std::u32string::npos ? end : end - start);
        if (!SafeComponent(component) || (components.empty() && IsDrive(component))) {
            return result;
        }
        components.push_back(CodePointsToUtf8(component));
        if (end == std::u32string::npos) break;
        start = end + 1;
    }
    result.components = std::move(components);
    return result;
}

namespace {

std::string Escape(std::string_view text, bool slashes) {
    std::string out;
    for (char32_t cp : Utf8ToCodePoints(text)) {
        char buffer[16];
        if (slashes && cp == U'\\') {
            out += '/';
        } else if (cp < 0x80 && IsControl(cp)) {
            std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(cp));
            out += buffer;
        } else if (IsControl(cp) || IsBidiControl(cp)) {
            std::snprintf(buffer, sizeof buffer, "\\u{%04X}", static_cast<unsigned>(cp));
            out += buffer;
        } else {
            AppendUtf8(out, cp);
        }
    }
    return out;
}

}  // namespace

std::string PrintableName(std::string_view text) { return Escape(text, true); }

std::string EscapeForDisplay(std::string_view text) { return Escape(text, false); }

}  // namespace sealwise
