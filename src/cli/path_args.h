#pragma once
// Paths named on the command line, made absolute so that a directory's parent is known.
#include <string>

namespace sealwise::cli {

// The absolute, lexically normal form of path, without a trailing "/" (except for "/").
std::string AbsolutePath(const std::string& path);

// The directory part of path ("." when it has none).
std::string ParentDirectory(const std::string& path);

// The container made from the absolute input path when no -o is given: NAME.vesk beside it.
// A directory gives its own name ("/data/proj" -> "/data/proj.vesk"), a file its name without
// the last extension ("/x/report.doc" -> "/x/report.vesk"); a name that would be the input
// itself keeps its extension ("/x/a.vesk" -> "/x/a.vesk.vesk"). The root gives "/root.vesk".
std::string DefaultContainerName(const std::string& input, bool isDirectory);

}  // namespace sealwise::cli
