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

}  // namespace sealwise::cli
