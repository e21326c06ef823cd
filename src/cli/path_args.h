#pragma once
// Paths named on the command line, made absolute so that a directory's parent is known.
#include <string>

namespace sealwise::cli {

// The absolute, lexically normal form of path, without a trailing "/" (except for "/").
std::string AbsolutePath(const std::string& path);

// The directory part of path ("." when it has none).
std::string ParentDirectory(const std::string& path);

}  // namespace sealwise::cli
