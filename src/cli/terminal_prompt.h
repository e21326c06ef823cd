#pragma once
// Asks for a secret on the controlling terminal (not stdin, which may carry the data).
#include <optional>
#include <string>

namespace sealwise::cli {

// Shows prompt on /dev/tty and reads one line with echo switched off; std::nullopt when the
// process has no terminal. The echo setting is restored even when the read is interrupted.
std::optional<std::string> PromptHidden(const std::string& prompt);

}  // namespace sealwise::cli
