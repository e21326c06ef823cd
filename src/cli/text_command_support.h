#pragma once
// Pieces shared by encrypt-text and decrypt-text.
#include <string_view>

#include "cli/commands.h"

namespace sealwise {
class SealError;
}

namespace sealwise::cli {

// Prints a core failure in the current language and returns the failure status.
int ReportFailure(Io& io, const SealError& error);

// Writes data to the output; reports message 416 and returns false when that fails.
bool WriteOutput(Io& io, std::string_view data);

}  // namespace sealwise::cli
