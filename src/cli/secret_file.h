#pragma once
// Files that hold secrets (passphrase, shared keys, envelope key) should be readable by their
// owner alone; the tools people script with warn when they are not.
#include <iosfwd>
#include <string>

namespace sealwise::cli {

// Whether path is a regular file that its group or other users may read.
bool ReadableByOthers(const std::string& path);

// Prints "sealwise-cli: warning: ..." (message 744) to err when ReadableByOthers(path).
void WarnIfReadableByOthers(const std::string& path, std::ostream& err);

}  // namespace sealwise::cli
