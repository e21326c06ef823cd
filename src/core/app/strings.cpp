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
const std::string* Find(Msg id, int offset) {
    const long long fullId = static_cast<long long>(id) + offset;
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

MissingStringError::MissingStringError(Msg id, int languageOffset)
    : std::runtime_error("no text for string id " + std::to_string(static_cast<int>(id)) +
                         " at language offset " + std::to_string(languageOffset)),
      id_(id),
      languageOffset_(languageOffset) {}

std::string GetResText(Msg id, std::string_view s, std::string_view d) {
    const int offset = LanguageOffset();
    const std::string* text = Find(id, offset);
    if (text == nullptr) throw MissingStringError(id, offset);
    if (s.empty() && d.empty()) return *text;
    return ReplaceAll(ReplaceAll(*text, "%s", s), "%d", d);
}

bool HasResText(Msg id, int languageOffset) { return Find(id, languageOffset) != nullptr; }

int LanguageOffset() { return gLanguageOffset.load(std::memory_order_relaxed); }

void SetLanguageOffset(int offset) { gLanguageOffset.store(offset, std::memory_order_relaxed); }

std::string MessageText(const Message& message) {
    const std::string* text = Find(message.id, LanguageOffset());
    if (text == nullptr) text = Find(message.id, kOffsetEnglish);
    if (text == nullptr) {
        // Not expected for ids the program uses; still say something useful.
        std::string fallback = "Error " + std::to_string(static_cast<int>(message.id));
        if (!message.argument.empty()) fallback += ": " + message.argument;
        return fallback;
    }
    if (message.id == Msg::SystemError) return *text + " " + message.argument;
    if (message.argument.empty() && message.secondArgument.empty()) return *text;
    return ReplaceAll(ReplaceAll(*text, "%s", message.argument), "%d", message.secondArgument);
}

std::string MessageText(const SealError& error) {
    return MessageText(Message{error.stringId(), error.argument(), {}});
}

}  // namespace sealwise
