#pragma once
// The plausibility check of e-mail addresses that the sending form applies before it posts.
#include <string_view>

namespace sealwise {

// Wildcard pattern every address must match as a whole, case-sensitively: "?" is one character,
// "*" any run of characters, "[...]" one character of the set (";" counts as a letter).
inline constexpr std::u32string_view kMailAddressPattern = U"?*@[a-z;A-Z]??*.[a-z;A-Z]*[a-z;A-Z]";

// True when the UTF-8 text, taken as typed (no trimming), matches kMailAddressPattern.
bool IsValidMailAddress(std::string_view address);

// Whole-string wildcard match of text against pattern ("?", "*", "[a-z;A-Z]", literals).
bool MatchesWildcard(std::u32string_view text, std::u32string_view pattern);

}  // namespace sealwise
