#include "mail/address_check.h"

#include "util/text_codec.h"

namespace sealwise {
namespace {

// Whether the one-character pattern element at pattern[pos] accepts c; sets next to the index
// after the element. A "[" without a closing "]" stands for itself.
bool MatchesElement(std::u32string_view pattern, std::size_t pos, char32_t c, std::size_t& next) {
    const char32_t head = pattern[pos];
    if (head == U'?') {
        next = pos + 1;
        return true;
    }
    if (head == U'[') {
        const std::size_t close = pattern.find(U']', pos + 1);
        if (close != std::u32string_view::npos) {
            next = close + 1;
            for (std::size_t i = pos + 1; i < close; ++i) {
                if (i + 2 < close && pattern[i + 1] == U'-') {
                    if (c >= pattern[i] && c <= pattern[i + 2]) return true;
                    i += 2;
                } else if (c == pattern[i]) {
                    return true;
                }
            }
            return false;
        }
    }
    next = pos + 1;
    return c == head;
}

}  // namespace

bool MatchesWildcard(std::u32string_view text, std::u32string_view pattern) {
    // Greedy matching that backtracks only to the most recent "*": enough because "*" is the
    // only element of variable length, and it keeps the work at text length times pattern length.
    constexpr std::size_t kNone = std::u32string_view::npos;
    std::size_t t = 0, p = 0, starP = kNone, starT = 0;
    while (t < text.size()) {
        std::size_t next = 0;
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && MatchesElement(pattern, p, text[t], next)) {
            p = next;
            ++t;
        } else if (starP != kNone) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

bool IsValidMailAddress(std::string_view address) {
    return MatchesWildcard(Utf8ToCodePoints(address), kMailAddressPattern);
}

}  // namespace sealwise
