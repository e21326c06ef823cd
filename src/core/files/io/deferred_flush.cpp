#include "files/io/deferred_flush.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sealwise {

void DeferredFlush::AddFile(UniqueFd file, const SharedFd& dir) {
    std::lock_guard lock(mutex_);
    if (!wholeFileSystems_ && files_.size() >= kMaxOneByOne) SwitchToWholeFileSystems();
    if (wholeFileSystems_) {
        if (const int err = file.Close(); err != 0) throw SystemError(err, "close");
        AddDevice(dir);
        return;
    }
    files_.push_back(std::move(file));
    directories_.emplace(dir.get(), dir);
}

void DeferredFlush::AddDirectory(const SharedFd& dir) {
    std::lock_guard lock(mutex_);
    if (!wholeFileSystems_ && directories_.size() >= kMaxOneByOne) SwitchToWholeFileSystems();
    if (wholeFileSystems_) {
        AddDevice(dir);
    } else {
        directories_.emplace(dir.get(), dir);
    }
}

void DeferredFlush::SwitchToWholeFileSystems() {
    wholeFileSystems_ = true;
    std::vector<UniqueFd> files = std::move(files_);
    files_.clear();
    auto directories = std::move(directories_);
    directories_.clear();
    for (const auto& [key, dir] : directories) AddDevice(dir);
    for (UniqueFd& file : files) {
        if (const int err = file.Close(); err != 0) throw SystemError(err, "close");
    }
}

void DeferredFlush::AddDevice(const SharedFd& dir) {
    // Directories seen lately are held, so their addresses cannot be reused by others.
    if (directories_.contains(dir.get())) return;
    if (directories_.size() >= kMaxOneByOne) directories_.clear();
    directories_.emplace(dir.get(), dir);
    struct stat st {};
    if (::fstat(dir->get(), &st) != 0) throw SystemError(errno, "stat directory");
    devices_.emplace(st.st_dev, dir);
}

void DeferredFlush::Flush(const std::string& where) {
    std::lock_guard lock(mutex_);
    const auto fail = [&where](int err) { return SystemErrorAt(err, where); };
    if (wholeFileSystems_) {
        for (const auto& [device, dir] : devices_) {
            if (::syncfs(dir->get()) != 0) throw fail(errno);
        }
    } else {
        for (UniqueFd& file : files_) {
            if (::fsync(file.get()) != 0) throw fail(errno);
            if (const int err = file.Close(); err != 0) throw fail(err);
        }
        for (const auto& [key, dir] : directories_) {
            if (::fsync(dir->get()) != 0) throw fail(errno);
        }
    }
    files_.clear();
    directories_.clear();
    devices_.clear();
    wholeFileSystems_ = false;
}

}  // namespace sealwise
