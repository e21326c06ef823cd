#include "files/io/file_checks.h"

#include <sys/stat.h>

namespace sealwise {

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsDirectory(const std::string& path) { return DirExists(path); }

std::string TrimAtNul(std::string_view text) { return TextUpToNul(text); }

std::string TextUpToNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

}  // namespace sealwise
