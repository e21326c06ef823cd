#pragma once
// Reading the text a command works on from its input stream.
#include <iosfwd>
#include <string>
#include <string_view>

namespace sealwise::cli {

// Everything the stream holds, byte for byte.
std::string ReadAll(std::istream& in);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or truncated sequences).
bool IsValidUtf8(std::string_view text);

}  // namespace sealwise::cli
