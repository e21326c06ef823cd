#include "modern/restore_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "util/secure_random.h"

namespace sealwise::modern {
namespace {

bool AllZero(std::span<const uint8_t> data) {
    return std::all_of(data.begin(), data.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace

std::string TemporaryName() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".sealwise-";
    for (int i = 0; i < 12; ++i) name += kChars[SecureRandomBelow(36)];
    return name + ".part";
}

RestoreFile::RestoreFile(SharedFd dir, std::string finalName)
    : dir_(std::move(dir)), finalName_(std::move(finalName)) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryName();
        const int fd = ::openat(dir_->get(), name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            file_ = UniqueFd(fd);
            tempName_ = std::move(name);
            return;
        }
        if (errno != EEXIST) throw SystemError(errno, "create temporary file");
    }
    throw SystemError(EEXIST, "create temporary file");
}

RestoreFile::~RestoreFile() {
    file_.Reset();
    if (!tempName_.empty()) ::unlinkat(dir_->get(), tempName_.c_str(), 0);
}

void RestoreFile::Append(std::span<const uint8_t> data) {
    if (AllZero(data)) {
        if (::lseek(file_.get(), static_cast<off_t>(data.size()), SEEK_CUR) < 0) {
            throw SystemError(errno, "seek");
        }
    } else {
        WriteAll(file_.get(), data);
    }
    size_ += static_cast<int64_t>(data.size());
}

void RestoreFile::Commit(const EntryMeta& meta, DeferredFlush* flush) {
    const int fd = file_.get();
    if (::ftruncate(fd, size_) != 0) throw SystemError(errno, "set length");
    if (::fchmod(fd, RestoredMode(meta.mode)) != 0) throw SystemError(errno, "chmod");
    const timespec times[2] = {{0, UTIME_NOW},
                               {meta.mtimeSeconds, static_cast<long>(meta.mtimeNanoseconds)}};
    if (::futimens(fd, times) != 0) throw SystemError(errno, "set modification time");
    if (!flush && ::fsync(fd) != 0) throw SystemError(errno, "fsync");
    if (::renameat(dir_->get(), tempName_.c_str(), dir_->get(), finalName_.c_str()) != 0) {
        throw SystemError(errno, "rename to " + finalName_);
    }
    tempName_.clear();
    if (flush) {
        // Starts writing the data back now, so that the flush at the end of the run finds
        // less of it left to wait for; a failure here only means the flush does it all.
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        flush->AddFile(std::move(file_), dir_);
        return;
    }
    if (const int err = file_.Close(); err != 0) throw SystemError(err, "close");
    if (::fsync(dir_->get()) != 0) throw SystemError(errno, "fsync directory");
}

}  // namespace sealwise::modern
