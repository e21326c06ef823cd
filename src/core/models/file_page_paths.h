#pragma once
// The path rules of the file pages: the output directory follows the container chosen for
// decryption and always ends with "/".
#include <string>

namespace sealwise {

// The text up to and including the last "/"; empty when there is none.
std::string DirectoryWithSlash(const std::string& path);

// The output directory field after validation: when empty, the container's directory; then a
// trailing "/" is added. Stays empty when neither is known (a decryption then asks for one,
// instead of writing into the root directory).
std::string ValidatedOutputDirectory(const std::string& outputDirectory,
                                     const std::string& containerPath);

// The output directory after the folder picker was cancelled: the container's directory, or
// empty when no container is chosen.
std::string OutputDirectoryAfterCancel(const std::string& containerPath);

}  // namespace sealwise
