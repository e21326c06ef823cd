#pragma once
// Starts the system writing a growing file's data to disk every few MiB while more is still
// being produced, so that the flush before the file takes its name waits for the last stretch
// only instead of the whole file.
#include <fcntl.h>

#include <cstdint>

namespace sealwise {

class WritebackAhead {
  public:
    static constexpr int64_t kStretch = 8 << 20;

    // The file behind fd has grown to end bytes.
    void Written(int fd, int64_t end) {
        if (end - started_ < kStretch) return;
        // Only starts the writing; a failure means the final flush does it all.
        ::sync_file_range(fd, started_, end - started_, SYNC_FILE_RANGE_WRITE);
        started_ = end;
    }

    // The file was cut back to end bytes.
    void CutTo(int64_t end) {
        if (end < started_) started_ = end;
    }

  private:
    int64_t started_ = 0;
};

}  // namespace sealwise
