#include "cli/text_input.h"

#include <istream>
#include <iterator>

namespace sealwise::cli {

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace sealwise::cli
