#pragma once
// Reading the text a command works on from its input stream.
#include <iosfwd>
#include <string>

namespace sealwise::cli {

// Everything the stream holds, byte for byte.
std::string ReadAll(std::istream& in);

}  // namespace sealwise::cli
