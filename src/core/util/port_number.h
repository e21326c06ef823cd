#pragma once
// A TCP port number written in decimal, as in URLs and listen addresses.
#include <cstdint>
#include <optional>
#include <string_view>

namespace sealwise {

// 0 to 65535 from one to five ASCII digits (no sign, no spaces); nullopt for anything else.
// Port 0 is valid to listen on (any free port) but not to connect to: callers decide.
std::optional<uint16_t> ParsePort(std::string_view digits);

}  // namespace sealwise
