#include "modern/restore_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace sealwise::modern {

RestoreFile::RestoreFile(SharedFd dir, std::string finalName, bool replaces)
    : file_(std::move(dir), std::move(finalName),
            replaces ? Placement::kReplace : Placement::kFreeName) {}

void RestoreFile::Append(std::span<const uint8_t> data) {
    endsInHole_ = std::all_of(data.begin(), data.end(), [](uint8_t b) { return b == 0; });
    if (endsInHole_) {
        if (::lseek(file_.fd(), static_cast<off_t>(data.size()), SEEK_CUR) < 0) {
            throw SystemError(errno, "seek");
        }
    } else {
        WriteAll(file_.fd(), data);
    }
    size_ += static_cast<int64_t>(data.size());
}

void RestoreFile::Commit(const EntryMeta& meta, DeferredFlush& flush) {
    const int fd = file_.fd();
    // A hole at the end has no length until the file is given one.
    if (endsInHole_ && ::ftruncate(fd, size_) != 0) throw SystemError(errno, "set length");
    if (::futimens(fd, RestoredTimes(meta).data()) != 0)
        throw SystemError(errno, "set modification time");
    file_.SetMode(RestoredMode(meta.mode));
    if (file_.placement() == Placement::kFreeName) {
        // Starts writing the data back now, so that the flush at the end of the run finds
        // less of it left to wait for; a failure here only means the flush does it all.
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        file_.SetFlushMode(FlushMode::kDeferred, &flush);
    }
    file_.Commit();
}

}  // namespace sealwise::modern
