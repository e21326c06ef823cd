#include "app/strings.h"

#include <atomic>
#include <cstdint>
#include <limits>

namespace sealwise {
namespace {

std::atomic<int> gLanguageOffset{kOffsetEnglish};

// Parsed once, on first use; the embedded table is checked by the tests, so a format error
// here is a build fault and may propagate.
const StringTable& Table() {
    static const StringTable table = ParseStringTable(EmbeddedStringTable());
    return table;
}

// The entry of baseId + offset, or null. The sum is a 16-bit id in the original table, so a
// sum outside that range names no entry.
const std::string* Find(int baseId, int offset) {
    const long long fullId = static_cast<long long>(baseId) + offset;
    if (fullId < std::numeric_limits<int16_t>::min() ||
        fullId > std::numeric_limits<int16_t>::max()) {
        return nullptr;
    }
    const auto& table = Table();
    const auto it = table.find(static_cast<int>(fullId));
    return it == table.end() ? nullptr : &it->second;
}

// Replaces every occurrence of token from left to right; inserted text is not searched again.
std::string ReplaceAll(const std::string& text, std::string_view token, std::string_view with) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(token, from);
        if (at == std::string::npos) break;
        out.append(text, from, at - from);
        out.append(with);
        from = at + token.size();
    }
    out.append(text, from);
    return out;
}

}  // namespace

MissingStringError::MissingStringError(int baseId, int languageOffset)
    : std::runtime_error("no text for string id " + std::to_string(baseId) +
                         " at language offset " + std::to_string(languageOffset)),
      baseId_(baseId),
      languageOffset_(languageOffset) {}

std::string GetResText(int baseId, std::string_view s, std::string_view d) {
    const int offset = LanguageOffset();
    const std::string* text = Find(baseId, offset);
    if (text == nullptr) throw MissingStringError(baseId, offset);
    if (s.empty() && d.empty()) return *text;
    return ReplaceAll(ReplaceAll(*text, "%s", s), "%d", d);
}

bool HasResText(int baseId, int languageOffset) { return Find(baseId, languageOffset) != nullptr; }

int LanguageOffset() { return gLanguageOffset.load(std::memory_order_relaxed); }

void SetLanguageOffset(int offset) { gLanguageOffset.store(offset, std::memory_order_relaxed); }

std::string MessageText(const SealError& error) {
    const int id = error.stringId();
    const std::string* text = Find(id, LanguageOffset());
    if (text == nullptr) text = Find(id, kOffsetEnglish);
    if (text == nullptr) {
        // Not expected for ids the core uses; still say something useful.
        std::string fallback = "Error " + std::to_string(id);
        if (!error.argument().empty()) fallback += ": " + error.argument();
        return fallback;
    }
    if (id == 103) return *text + " " + error.argument();
    if (error.argument().empty()) return *text;
    return ReplaceAll(ReplaceAll(*text, "%s", error.argument()), "%d", "");
}

}  // namespace sealwise
