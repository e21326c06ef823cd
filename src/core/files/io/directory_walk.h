#pragma once
// Walking a directory tree for the files to encrypt, and the identity of a file (device and
// inode), which tells whether two paths name the same file.
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/msg.h"

namespace sealwise {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of what path names (symbolic links followed); nullopt when it cannot be read.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Something below an expanded directory that was left out, and why.
struct SkippedInput {
    std::string path;
    Msg stringId{};      // the message (its "%s" is the path)
    std::string detail;  // the system's description, for messages that have a "%d"
};

struct WalkOptions {
    // A file left out silently: the container being written, so that it never holds itself.
    std::optional<FileIdentity> leaveOut;
    // Called after each file; false stops the walk (cancel).
    std::function<bool(const std::string& path)> onFile;
};

// Visits every regular file below directory (ending with "/"): the files of a directory in name
// order, then its subdirectories in name order. Hidden files are included; links to files are
// visited. Links to directories, devices, FIFOs, sockets, broken links and directories that
// cannot be read are added to skipped instead. False when onFile stopped the walk.
bool WalkDirectoryTree(const std::string& directory, const WalkOptions& options,
                       std::vector<SkippedInput>& skipped);

}  // namespace sealwise
