#include "cli/text_input.h"

#include <istream>
#include <iterator>

#include "util/text_codec.h"

namespace sealwise::cli {

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        char32_t cp;
        const std::size_t length = DecodeUtf8Sequence(text, cp);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

}  // namespace sealwise::cli
