#pragma once
// Flushing many restored files to disk at once when a run ends, through descriptors the run
// already holds (never by path, so a renamed directory or a long path cannot make it fail).
// A few files are flushed one by one with their directories; past that, the run has made
// enough of the file system's dirty data that one syncfs per file system costs less than a
// journal commit per file, and the files need not stay open until the end.
#include <sys/types.h>

#include <map>
#include <mutex>
#include <vector>

#include "files/io/posix_io.h"

namespace sealwise {

class DeferredFlush {
  public:
    // A committed file that still has to reach the disk, and the directory naming it. Safe
    // from any thread. Throws SealError 103 when closing the file reports a failure.
    void AddFile(UniqueFd file, const SharedFd& dir);
    // A directory whose entries changed.
    void AddDirectory(const SharedFd& dir);
    // Flushes everything added so far; throws SealError 103 naming where on failure.
    void Flush(const std::string& where);

  private:
    static constexpr std::size_t kMaxOneByOne = 32;  // files, and directories, kept open

    // Past the limit: close the kept files and remember one directory per file system.
    void SwitchToWholeFileSystems();
    void AddDevice(const SharedFd& dir);

    std::mutex mutex_;
    bool wholeFileSystems_ = false;
    std::vector<UniqueFd> files_;
    std::map<const UniqueFd*, SharedFd> directories_;  // one by one; then those already seen
    std::map<dev_t, SharedFd> devices_;                // one directory per file system
};

}  // namespace sealwise
