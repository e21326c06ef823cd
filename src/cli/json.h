#pragma once
// JSON output of the commands that offer --json.
#include <string>
#include <string_view>

namespace sealwise::cli {

// text as a JSON string literal, quotes included: '"', '\' and every control character
// escaped, valid UTF-8 kept, and each byte that is not part of valid UTF-8 replaced by
// U+FFFD, so the result is valid JSON for any input bytes.
std::string JsonString(std::string_view text);

}  // namespace sealwise::cli
