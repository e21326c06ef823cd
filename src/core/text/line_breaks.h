#pragma once
// Line breaks of texts: the stored plaintext of a text uses CR LF, this system types LF.
#include <string>
#include <string_view>

namespace sealwise {

// Every LF that does not follow a CR becomes CR LF; existing CR LF pairs stay as they are.
std::string LfToCrLf(std::string_view text);

// Every CR LF pair becomes LF; lone CRs and LFs stay.
std::string CrLfToLf(std::string_view text);

}  // namespace sealwise
