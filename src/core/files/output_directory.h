#pragma once
// The directory that a container is restored into. Entry paths are resolved one component at
// a time below it and symbolic links are never followed there, so no entry can reach outside.
#include <span>
#include <string>
#include <vector>

#include "files/posix_io.h"

namespace sealwise {

enum class LeafState { kMissing, kFile, kDirectory };

class OutputDirectory {
  public:
    // The directory must exist; throws SealError 103 when it cannot be opened.
    explicit OutputDirectory(std::string path);

    int fd() const noexcept { return dir_.get(); }
    const std::string& path() const noexcept { return path_; }

    // The path shown to people for an entry's components.
    std::string DisplayPath(std::span<const std::string> components) const;

    // Opens the directory that will hold the entry's file, creating missing directories on
    // the way. Throws SealError 429 (naming the entry) when a component exists as a symbolic
    // link or as something other than a directory, 103 on other failures.
    UniqueFd OpenParent(std::span<const std::string> components) const;

  private:
    std::string path_;
    UniqueFd dir_;
};

// What is at name inside dirFd, without following a symbolic link there (a link counts as a
// file: restoring replaces the link itself, never its target).
LeafState InspectLeaf(int dirFd, const std::string& name);

}  // namespace sealwise
