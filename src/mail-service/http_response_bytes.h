#pragma once
// The bytes of an answer as the front sends it: status line, the fixed headers and the body.
#include <string>

#include "http_server.h"

namespace sealwise::mailservice {

// The reason phrase of a status the service sends; "Error" for any other.
const char* ReasonPhrase(int status);

// The whole response: plain text in Windows-1252, its length, and "Connection: close".
std::string SerializeResponse(const HttpResponse& response);

}  // namespace sealwise::mailservice
