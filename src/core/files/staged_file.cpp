#include "files/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "util/secure_random.h"

namespace sealwise {
namespace {

std::string RandomTempName() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".sealwise-";
    for (int i = 0; i < 10; ++i) name += kChars[SecureRandomBelow(36)];
    return name + ".part";
}

std::pair<std::string, std::string> SplitParent(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

StagedFile::StagedFile(int dirFd, std::string finalName) : finalName_(std::move(finalName)) {
    dir_ = UniqueFd(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
    if (!dir_.valid()) throw SystemError(errno, "dup directory");
    CreateTemporary({});
}

StagedFile::StagedFile(const std::string& path) {
    auto [parent, name] = SplitParent(path);
    if (name.empty()) throw SystemError(EISDIR, path);
    finalName_ = std::move(name);
    dir_ = UniqueFd(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir_.valid()) throw SystemErrorAt(errno, parent);
    CreateTemporary(parent);
}

void StagedFile::CreateTemporary(const std::string& where) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = RandomTempName();
        const int fd = ::openat(dir_.get(), name.c_str(),
                                O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            file_ = UniqueFd(fd);
            tempName_ = std::move(name);
            return;
        }
        if (errno != EEXIST) {
            throw where.empty() ? SystemError(errno, "create temporary file")
                                : SystemErrorAt(errno, where);
        }
    }
    throw SystemError(EEXIST, "create temporary file");
}

StagedFile::~StagedFile() { Discard(); }

void StagedFile::Append(std::span<const uint8_t> data) {
    try {
        WriteAll(file_.get(), data);
    } catch (const SealError& error) {
        throw StagedWriteError(error);
    }
    size_ += static_cast<int64_t>(data.size());
}

void StagedFile::TruncateTo(int64_t length) {
    if (::ftruncate(file_.get(), length) != 0 || ::lseek(file_.get(), length, SEEK_SET) < 0) {
        throw StagedWriteError(SystemError(errno, "truncate"));
    }
    size_ = length;
}

void StagedFile::Commit() {
    if (flushOnCommit_) {
        if (::fsync(file_.get()) != 0) throw SystemError(errno, "fsync");
    } else {
        // Start writing the data back now, so that the flush at the end finds little to do.
        ::sync_file_range(file_.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    if (::fchmod(file_.get(), NormalFileMode()) != 0) throw SystemError(errno, "chmod");
    if (const int err = file_.Close(); err != 0) throw SystemError(err, "close");
    if (::renameat(dir_.get(), tempName_.c_str(), dir_.get(), finalName_.c_str()) != 0) {
        throw SystemError(errno, "rename to " + finalName_);
    }
    tempName_.clear();
    // The rename itself must reach the disk before the job reports success.
    if (flushOnCommit_ && ::fsync(dir_.get()) != 0) throw SystemError(errno, "fsync directory");
}

void StagedFile::Discard() noexcept {
    file_.Reset();
    if (!tempName_.empty()) ::unlinkat(dir_.get(), tempName_.c_str(), 0);
    tempName_.clear();
}

void FlushCommittedFiles(const std::vector<std::string>& paths) {
    const auto flush = [](const std::string& path, int flags) {
        const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags));
        if (!fd.valid() || ::fsync(fd.get()) != 0) throw SystemErrorAt(errno, path);
    };
    std::set<std::string> directories;
    for (const std::string& path : paths) {
        flush(path, O_NOFOLLOW);
        directories.insert(SplitParent(path).first);
    }
    for (const std::string& directory : directories) flush(directory, O_DIRECTORY);
}

}  // namespace sealwise
