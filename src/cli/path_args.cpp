#include "cli/path_args.h"

#include <filesystem>

namespace sealwise::cli {

std::string AbsolutePath(const std::string& path) {
    std::string out = std::filesystem::absolute(path).lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

std::string ParentDirectory(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string DefaultContainerName(const std::string& input, bool isDirectory) {
    std::string path = input;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const auto slash = path.find_last_of('/');
    const std::string parent =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) name = "root";
    if (!isDirectory) {
        const auto dot = name.find_last_of('.');
        // A leading dot starts a hidden name, not an extension.
        if (dot != std::string::npos && dot > 0) name.resize(dot);
    }
    std::string container = parent + name + ".vesk";
    if (container == path) container = path + ".vesk";
    return container;
}

}  // namespace sealwise::cli
