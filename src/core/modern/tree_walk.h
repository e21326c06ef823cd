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
};

struct TreeWalk {
    std::vector<TreeItem> items;  // parents before what they hold
    int failed = 0;               // items left out, each reported to the observer
};

// Special files (devices, pipes, sockets), names that are not UTF-8 and unreadable
// directories are reported and left out; a name met twice is stored once.
// skipFd: a file being written (the container itself) that is left out if met; -1 for none.
TreeWalk WalkInputs(const std::vector<std::string>& paths, FileJobObserver& observer,
                    int skipFd = -1);

// A path to store under a name of the caller's choosing ("/" between components).
struct NamedInput {
    std::string path;
    std::string name;
};

// The same for inputs that already carry their names (a list of files picked one by one): a
// directory given still brings everything below it; missing parents are made on restore.
TreeWalk WalkNamedInputs(const std::vector<NamedInput>& inputs, FileJobObserver& observer,
                         int skipFd = -1);

}  // namespace sealwise::modern
