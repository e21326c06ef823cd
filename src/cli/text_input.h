#pragma once
// Reading the text a command works on from its input stream.
#include <iosfwd>
#include <string>
#include <string_view>

namespace sealwise::cli {

// Everything the stream holds, byte for byte.
std::string ReadAll(std::istream& in);

// Length of the well-formed UTF-8 sequence at the start of text (1 to 4); 0 when there is
// none (text must not be empty).
std::size_t Utf8SequenceLength(std::string_view text);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or truncated sequences).
bool IsValidUtf8(std::string_view text);

}  // namespace sealwise::cli
