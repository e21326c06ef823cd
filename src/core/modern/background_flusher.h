#pragma once
// Flushes restored files to disk on a thread of its own while the restore goes on, then the
// directories that hold them: the restore's thread never waits for the disk until the end.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "files/io/posix_io.h"

namespace sealwise::modern {

class BackgroundFlusher {
  public:
    BackgroundFlusher();
    ~BackgroundFlusher();  // waits for the thread; drops what Finish did not report
    BackgroundFlusher(const BackgroundFlusher&) = delete;
    BackgroundFlusher& operator=(const BackgroundFlusher&) = delete;

    // Takes a committed file and its directory (descriptors it closes when done). Waits while
    // many are pending, so descriptors stay bounded.
    void Add(UniqueFd file, UniqueFd directory);
    // Flushes everything left and the directories; throws SealError 103 for the first failure.
    void Finish();

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<UniqueFd, UniqueFd>> pending_;
    bool stopping_ = false;
    std::optional<SealError> failure_;
    std::thread thread_;
};

}  // namespace sealwise::modern
