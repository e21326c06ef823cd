#pragma once
// The pieces of MIME that the composed mail needs: Base64 bodies and header words.
#include <string>
#include <string_view>

namespace sealwise::mailservice {

// Base64 (RFC 4648) of bytes, in lines of 76 characters joined by CR LF, no break at the end.
std::string Base64Lines(std::string_view bytes);

// A phrase for a header (display name or subject part) from Windows-1252 bytes (UTF-8 when
// utf8 is set): printable ASCII stays as it is (quoted when quoted is set), anything else
// becomes RFC 2047 encoded words, folded onto continuation lines.
std::string HeaderPhrase(std::string_view bytes, bool quoted, bool utf8 = false);

// True when the body can go as it is under "7bit": printable ASCII and tab only, every line
// ended by CR LF (except possibly the last), no line over 998 bytes.
bool IsSevenBitClean(std::string_view body);

}  // namespace sealwise::mailservice
