#include "text/notice_line.h"

#include <algorithm>

#include "app/string_table.h"

namespace sealwise {
namespace {

constexpr std::string_view kWebAddress = "https://sealwise.example/";
constexpr std::string_view kSeparator = " - ";
// Longer than any notice line a program would write; a key that is wrong almost never gets
// this far without a control byte.
constexpr std::size_t kMaxLineLength = 512;

bool PrintableCp1252(uint8_t b) {
    if (b < 0x20 || b == 0x7F) return false;
    // Bytes Windows-1252 leaves unassigned are no printable characters.
    return b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D;
}

bool LooksLikeWebAddress(std::span<const uint8_t> address) {
    if (address.empty()) return false;
    const bool plain =
        std::all_of(address.begin(), address.end(), [](uint8_t b) { return b > 0x20 && b < 0x7F; });
    return plain && std::find(address.begin(), address.end(), '.') != address.end();
}

}  // namespace

std::string NoticeLine(int languageOffset) {
    std::string line;
    switch (languageOffset) {
        case kOffsetGerman:
            line = "Dieser Text wurde mit Sealwise (kostenlos) verschl\xC3\xBCsselt - ";
            break;
        case kOffsetSpanish:
            line = "Este texto ha sido encriptado con Sealwise (gratis) - ";
            break;
        case kOffsetFrench:
            line = "Ce texte a \xC3\xA9t\xC3\xA9 chiffr\xC3\xA9 avec Sealwise (gratuit) - ";
            break;
        default:
            line = "This text has been encrypted with Sealwise (free!) - ";
            break;
    }
    return line.append(kWebAddress);
}

std::string WithNoticeLine(std::string_view text, int languageOffset) {
    std::string out = NoticeLine(languageOffset);
    out += "\r\n";
    out += text;
    return out;
}

std::optional<std::size_t> NoticeLineLength(std::span<const uint8_t> shown) {
    const std::size_t limit = std::min(shown.size(), kMaxLineLength);
    std::size_t length = 0;
    while (length < limit && PrintableCp1252(shown[length])) ++length;
    if (length + 1 >= shown.size() || shown[length] != '\r' || shown[length + 1] != '\n') {
        return std::nullopt;
    }
    const std::span<const uint8_t> line = shown.first(length);
    const auto separator =
        std::search(line.rbegin(), line.rend(), kSeparator.rbegin(), kSeparator.rend());
    if (separator == line.rend()) return std::nullopt;
    const auto addressStart = static_cast<std::size_t>(line.rend() - separator);
    if (!LooksLikeWebAddress(line.subspan(addressStart))) return std::nullopt;
    return length;
}

}  // namespace sealwise
