#include "mail/armour_shape.h"

#include <vector>

#include "text/base64.h"

namespace sealwise {
namespace {

bool IsBase64Character(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

std::vector<std::string_view> SplitCrLf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = text.find("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 2);
    }
}

// The decoded length of Base64 lines of the layout above; 0 when they do not have it.
std::size_t DecodedLength(const std::vector<std::string_view>& lines) {
    if (lines.empty()) return 0;
    const std::size_t width = lines.front().size();
    if (lines.size() > 1 && (width == 0 || width % 4 != 0 || width > kMaxArmourLine)) return 0;
    std::size_t characters = 0, padding = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const bool last = i + 1 == lines.size();
        if (line.empty() || (!last && line.size() != width) || line.size() > width) return 0;
        for (std::size_t k = 0; k < line.size(); ++k) {
            if (IsBase64Character(line[k]) && padding == 0) {
                ++characters;
            } else if (line[k] == '=' && last && line.size() - k <= 2) {
                ++padding;  // only at the very end, at most two
            } else {
                return 0;
            }
        }
    }
    if (characters % 4 == 1) return 0;
    if (padding > 0 && (characters + padding) % 4 != 0) return 0;
    std::string joined;
    joined.reserve(characters + padding);
    for (std::string_view line : lines) joined += line;
    return DecodeBase64(joined).size();
}

}  // namespace

bool IsWellFormedArmour(std::string_view text) {
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") text.remove_suffix(2);
    std::vector<std::string_view> lines = SplitCrLf(text);
    if (lines.size() >= 3 && lines.front() == kModernArmourBegin &&
        lines.back() == kModernArmourEnd) {
        lines.erase(lines.begin());
        lines.pop_back();
        return DecodedLength(lines) >= 32;
    }
    const std::size_t length = DecodedLength(lines);
    return length > 0 && length % 32 == 0;
}

}  // namespace sealwise
