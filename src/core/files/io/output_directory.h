#pragma once
// The directory that a container is restored into. Entry paths are resolved one component at
// a time below it and symbolic links are never followed there, so no entry can reach outside.
// Each directory is walked and opened once per run: its descriptor is kept (a bounded number
// of them) and files are created relative to it. A directory that someone moves or swaps for
// a link during the run keeps receiving its entries wherever it went; the link is not followed.
#include <sys/types.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "files/io/posix_io.h"

namespace sealwise {

enum class LeafState { kMissing, kFile, kDirectory };

struct Leaf {
    LeafState state = LeafState::kMissing;
    dev_t device = 0;
    ino_t inode = 0;
};

class OutputDirectory {
  public:
    // Opens the directory when it exists; a missing one is created by EnsureExists, so that a
    // run that fails before its first entry leaves no empty directory. Throws SealError 103
    // when the path exists but cannot be opened as a directory.
    explicit OutputDirectory(std::string path);

    // Creates the directory (and missing parents) when it does not exist yet; throws 103.
    void EnsureExists();
    SharedFd root() const noexcept { return root_; }
    const std::string& path() const noexcept { return path_; }

    // The path shown to people for an entry's components.
    std::string DisplayPath(std::span<const std::string> components) const;

    struct Parent {
        SharedFd dir;
        bool createdByRun = false;  // empty when made: only this run's files can be in it
    };
    // The directory that will hold the entry's file, creating missing directories on the way.
    // Throws SealError 429 (naming the entry) when a component exists as a symbolic link or as
    // something other than a directory, 103 on other failures.
    Parent OpenParent(std::span<const std::string> components);

    // Called with the directory whose entries changed each time a directory is created in it
    // (the flush at the end must cover it).
    void OnDirectoryCreated(std::function<void(const SharedFd&)> hook) {
        onCreated_ = std::move(hook);
    }
    // Removes the directories this run created, deepest first; those that are not empty
    // (they hold restored files) stay.
    void RemoveCreatedDirectories() noexcept;

  private:
    struct Cached {
        SharedFd dir;
        bool createdByRun = false;
    };
    void Remember(const std::string& key, Cached entry);

    static constexpr std::size_t kMaxCached = 64;  // descriptors kept open besides the root

    std::string path_;
    SharedFd root_;
    bool rootCreated_ = false;
    std::map<std::string, Cached> cache_;  // by the components joined with '/'
    std::deque<std::string> cacheOrder_;   // oldest first, for eviction
    struct Created {
        bool belowRoot = false;  // name is relative to the root; else the user's own path
        std::string name;
    };
    std::vector<Created> created_;  // in creation order
    std::function<void(const SharedFd&)> onCreated_;
};

// What is at name inside dirFd, without following a symbolic link there (a link counts as a
// file: restoring replaces the link itself, never its target).
Leaf InspectLeaf(int dirFd, const std::string& name);

}  // namespace sealwise
