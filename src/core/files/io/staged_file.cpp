#include "files/io/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "app/msg.h"
#include "files/io/deferred_flush.h"
#include "util/secure_random.h"

namespace sealwise {
namespace {

std::pair<std::string, std::string> SplitParent(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// An unnamed file can only be named through /proc/self/fd without extra privileges.
bool CanLinkUnnamedFiles() {
    static const bool usable = ::access("/proc/self/fd", X_OK) == 0;
    return usable;
}

}  // namespace

std::string HiddenTempName() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    uint8_t random[10];
    FillSecureRandom(random, sizeof random);
    std::string name = ".sealwise-";
    // 252 = 7 * 36: the values below it map evenly; the rare others are drawn again.
    for (uint8_t r : random) name += kChars[r < 252 ? r % 36 : SecureRandomBelow(36)];
    return name + ".part";
}

StagedFile::StagedFile(SharedFd dir, std::string finalName, Placement placement)
    : dir_(std::move(dir)), finalName_(std::move(finalName)), placement_(placement) {}

StagedFile::StagedFile(const std::string& path, Placement placement) : placement_(placement) {
    auto [parent, name] = SplitParent(path);
    if (name.empty()) throw SystemError(EISDIR, path);
    finalName_ = std::move(name);
    const int dir = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) throw SystemErrorAt(errno, parent);
    dir_ = std::make_shared<const UniqueFd>(dir);
    Create(parent);
}

void StagedFile::Create(const std::string& where) {
    if (placement_ == Placement::kFreeName) {
        CreateUnnamed();
    } else {
        CreateNamed(where);
    }
    created_ = true;
}

void StagedFile::CreateUnnamed() {
    if (CanLinkUnnamedFiles()) {
        // The umask applies as to any new file; nobody else can open it before it has a name.
        const int fd = ::openat(dir_->get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd >= 0) {
            file_ = UniqueFd(fd);
            return;
        }
        // File systems without unnamed files get a hidden temporary name instead.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            throw SystemError(errno, "create file");
        }
    }
    CreateNamed({});
}

void StagedFile::CreateNamed(const std::string& where) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = HiddenTempName();
        const int fd = ::openat(dir_->get(), name.c_str(),
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
    EnsureCreated();
    try {
        WriteAll(file_.get(), data);
    } catch (const SealError& error) {
        throw StagedWriteError(error);
    }
    size_ += static_cast<int64_t>(data.size());
}

void StagedFile::TruncateTo(int64_t length) {
    EnsureCreated();
    if (::ftruncate(file_.get(), length) != 0 || ::lseek(file_.get(), length, SEEK_SET) < 0) {
        throw StagedWriteError(SystemError(errno, "truncate"));
    }
    size_ = length;
}

void StagedFile::Retarget(SharedFd dir, std::string finalName) {
    if (!tempName_.empty() && dir->get() != dir_->get()) {
        // Keep the hidden name, now in the other directory.
        if (::renameat2(dir_->get(), tempName_.c_str(), dir->get(), tempName_.c_str(),
                        RENAME_NOREPLACE) != 0) {
            throw SystemError(errno, "move to " + finalName);
        }
    }
    dir_ = std::move(dir);
    finalName_ = std::move(finalName);
}

bool StagedFile::LinkAs(const char* name) const {
    // By the descriptor alone, no /proc path is resolved; kernels before 6.10 refuse that
    // (ENOENT) without a capability, and then /proc/self/fd serves for the rest of the run.
    static std::atomic<bool> byDescriptorRefused{false};
    if (!byDescriptorRefused.load(std::memory_order_relaxed)) {
        if (::linkat(file_.get(), "", dir_->get(), name, AT_EMPTY_PATH) == 0) return true;
        if (errno != ENOENT && errno != EPERM) return false;
        byDescriptorRefused.store(true, std::memory_order_relaxed);
    }
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", file_.get());
    return ::linkat(AT_FDCWD, self, dir_->get(), name, AT_SYMLINK_FOLLOW) == 0;
}

void StagedFile::Commit() {
    if (committed_) return;
    EnsureCreated();
    if (placement_ == Placement::kFreeName) {
        CommitFree();
    } else {
        CommitReplacing();
    }
}

void StagedFile::CommitFree() {
    if (flushMode_ == FlushMode::kNow && ::fsync(file_.get()) != 0) {
        throw SystemError(errno, "fsync");
    }
    const auto taken = [this] {
        return NameTakenError(SystemError(EEXIST, "create " + finalName_));
    };
    if (tempName_.empty()) {
        if (mode_ && ::fchmod(file_.get(), *mode_) != 0) throw SystemError(errno, "chmod");
        if (!LinkAs(finalName_.c_str())) {
            if (errno == EEXIST) throw taken();
            throw SystemError(errno, "create " + finalName_);
        }
    } else {
        if (::fchmod(file_.get(), mode_.value_or(NormalFileMode())) != 0) {
            throw SystemError(errno, "chmod");
        }
        if (::renameat2(dir_->get(), tempName_.c_str(), dir_->get(), finalName_.c_str(),
                        RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST) throw taken();
            if (errno != EINVAL) throw SystemError(errno, "rename to " + finalName_);
            // No exclusive rename on this file system: a hard link never replaces either.
            if (::linkat(dir_->get(), tempName_.c_str(), dir_->get(), finalName_.c_str(), 0) != 0) {
                if (errno == EEXIST) throw taken();
                throw SystemError(errno, "link to " + finalName_);
            }
            ::unlinkat(dir_->get(), tempName_.c_str(), 0);
        }
        tempName_.clear();
    }
    AfterPlaced();
}

void StagedFile::CommitReplacing() {
    mode_t mode = mode_.value_or(NormalFileMode());
    struct stat old {};
    if (::fstatat(dir_->get(), finalName_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(old.st_mode)) throw SystemError(EISDIR, finalName_);
        if (protectedInode_ != 0 && old.st_dev == protectedDevice_ &&
            old.st_ino == protectedInode_) {
            throw SealError(Msg::ContainerNotReplaced, shownAs_, "would replace the container");
        }
        // The new contents keep the old file's permissions, without set-id bits.
        if (S_ISREG(old.st_mode) && !mode_) mode = old.st_mode & 0777;
    } else if (errno != ENOENT) {
        throw SystemError(errno, "inspect " + finalName_);
    }
    // Flushed before the rename whatever the mode: a crash must leave the old file or the new.
    if (::fsync(file_.get()) != 0) throw SystemError(errno, "fsync");
    if (::fchmod(file_.get(), mode) != 0) throw SystemError(errno, "chmod");
    if (tempName_.empty()) {
        for (int attempt = 0; tempName_.empty(); ++attempt) {
            std::string name = HiddenTempName();
            if (LinkAs(name.c_str())) {
                tempName_ = std::move(name);
            } else if (errno != EEXIST || attempt == 100) {
                throw SystemError(errno, "create temporary file");
            }
        }
    }
    if (const int err = file_.Close(); err != 0) throw SystemError(err, "close");
    if (::renameat(dir_->get(), tempName_.c_str(), dir_->get(), finalName_.c_str()) != 0) {
        throw SystemError(errno, "rename to " + finalName_);
    }
    tempName_.clear();
    committed_ = true;
    if (flushMode_ == FlushMode::kDeferred && deferred_) {
        deferred_->AddDirectory(dir_);
    } else if (flushMode_ != FlushMode::kNone && ::fsync(dir_->get()) != 0) {
        throw SystemError(errno, "fsync directory");
    }
}

void StagedFile::AfterPlaced() {
    committed_ = true;
    if (flushMode_ == FlushMode::kDeferred && deferred_) {
        deferred_->AddFile(std::move(file_), dir_);
        return;
    }
    if (const int err = file_.Close(); err != 0) throw SystemError(err, "close");
    // The new name itself must reach the disk before the job reports success.
    if (flushMode_ == FlushMode::kNow && ::fsync(dir_->get()) != 0) {
        throw SystemError(errno, "fsync directory");
    }
}

void StagedFile::Discard() noexcept {
    file_.Reset();
    if (!tempName_.empty()) ::unlinkat(dir_->get(), tempName_.c_str(), 0);
    tempName_.clear();
}

}  // namespace sealwise
