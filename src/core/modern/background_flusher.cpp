#include "modern/background_flusher.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <utility>

namespace sealwise::modern {
namespace {

constexpr std::size_t kMaxPending = 64;

}  // namespace

BackgroundFlusher::BackgroundFlusher() : thread_([this] { Run(); }) {}

BackgroundFlusher::~BackgroundFlusher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void BackgroundFlusher::Add(UniqueFd file, UniqueFd directory) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pending_.size() < kMaxPending; });
    pending_.emplace_back(std::move(file), std::move(directory));
    changed_.notify_all();
}

void BackgroundFlusher::Run() {
    // One descriptor per directory (by device and inode) is flushed at the end.
    std::map<std::pair<dev_t, ino_t>, UniqueFd> directories;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty()) break;
        auto [file, directory] = std::move(pending_.front());
        pending_.pop_front();
        changed_.notify_all();
        lock.unlock();
        int err = ::fsync(file.get()) == 0 ? 0 : errno;
        if (err == 0) err = file.Close();
        struct stat st {};
        if (::fstat(directory.get(), &st) == 0) {
            directories.try_emplace({st.st_dev, st.st_ino}, std::move(directory));
        }
        lock.lock();
        if (err != 0 && !failure_) failure_ = SystemError(err, "flush a restored file");
    }
    lock.unlock();
    for (auto& [id, directory] : directories) {
        if (::fsync(directory.get()) != 0) {
            const int err = errno;
            lock.lock();
            if (!failure_) failure_ = SystemError(err, "flush a directory");
            lock.unlock();
        }
    }
}

void BackgroundFlusher::Finish() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (failure_) throw *failure_;
}

}  // namespace sealwise::modern
