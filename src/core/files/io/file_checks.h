#pragma once
// Small tests on paths and texts used by the file pages and pipelines.
#include <string>
#include <string_view>

namespace sealwise {

// True when path is not empty and names something that exists and is not a directory.
bool FileExists(const std::string& path);
// True when path names an existing directory (symbolic links to one included).
bool DirExists(const std::string& path);
// The same test, under the name the add operations use.
bool IsDirectory(const std::string& path);

// The text before its first NUL character; the whole text when it holds none.
std::string TrimAtNul(std::string_view text);
std::string TextUpToNul(std::string_view text);

}  // namespace sealwise
