#pragma once
// The entries a modern container gets for the paths given to encrypt: each file, directory and
// symbolic link (as a link, never followed) with its metadata, a directory with everything
// below it, named relative to the parent of the path given.
#include <string>
#include <vector>

#include "files/jobs/file_job_observer.h"
#include "modern/records.h"

namespace sealwise::modern {

struct TreeItem {
    std::string path;  // where it is on disk
    EntryMeta meta;    // name and metadata as stored
    // A file with fewer blocks than its size may have holes, worth looking for while reading.
    bool mayHaveHoles = false;
};

struct TreeWalk {
    std::vector<TreeItem> items;  // parents before what they hold
    int failed = 0;               // items left out, each reported to the observer
};

// A path to store under a name of the caller's choosing ("/" between components).
struct NamedInput {
    std::string path;
    std::string name;
};

// The paths as given on a command line: each named by its last component ("dir/" and "dir/."
// name "dir").
std::vector<NamedInput> NamedAsGiven(const std::vector<std::string>& paths);

// Special files (devices, pipes, sockets), names that are not UTF-8 and unreadable
// directories are reported and left out; a name met twice is stored once. A directory given
// brings everything below it; missing parents of a name are made on restore.
// skipFd: a file being written (the container itself) that is left out if met; -1 for none.
TreeWalk WalkNamedInputs(const std::vector<NamedInput>& inputs, FileJobObserver& observer,
                         int skipFd = -1);

}  // namespace sealwise::modern
