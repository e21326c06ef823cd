#include "models/file_page_paths.h"

namespace sealwise {

std::string DirectoryWithSlash(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ValidatedOutputDirectory(const std::string& outputDirectory,
                                     const std::string& containerPath) {
    std::string out = outputDirectory.empty() ? DirectoryWithSlash(containerPath) : outputDirectory;
    if (!out.empty() && out.back() != '/') out += '/';
    return out;
}

std::string OutputDirectoryAfterCancel(const std::string& containerPath) {
    return DirectoryWithSlash(containerPath);
}

}  // namespace sealwise
