#include "form_body.h"

#include <algorithm>

namespace sealwise::mailservice {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> DecodeComponent(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            decoded += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}

}  // namespace

std::optional<FormFields> DecodeFormBody(std::string_view body) {
    FormFields fields;
    if (body.empty()) return fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        const std::size_t end = std::min(body.find('&', start), body.size());
        const std::string_view pair = body.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        std::optional<std::string> name = DecodeComponent(pair.substr(0, equals));
        std::optional<std::string> value = DecodeComponent(pair.substr(equals + 1));
        if (!name || !value || name->empty()) return std::nullopt;
        if (!fields.emplace(std::move(*name), std::move(*value)).second) return std::nullopt;
        start = end + 1;
    }
    return fields;
}

}  // namespace sealwise::mailservice
