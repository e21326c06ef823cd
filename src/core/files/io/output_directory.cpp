#include "files/io/output_directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/msg.h"

namespace sealwise {
namespace {

constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

SharedFd Share(int fd) { return std::make_shared<const UniqueFd>(fd); }

std::string Join(std::span<const std::string> components) {
    std::string key;
    for (const auto& c : components) {
        if (!key.empty()) key += '/';
        key += c;
    }
    return key;
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

OutputDirectory::OutputDirectory(std::string path) : path_(std::move(path)) {
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
    const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        root_ = Share(fd);
    } else if (errno != ENOENT) {
        throw SystemErrorAt(errno, path_);
    }
}

void OutputDirectory::EnsureExists() {
    if (root_) return;
    // The user's own path: links in it are theirs to choose, so it is made like mkdir -p.
    for (std::size_t end = 1; end <= path_.size(); ++end) {
        if (end < path_.size() && path_[end] != '/') continue;
        const std::string prefix = path_.substr(0, end);
        if (::mkdir(prefix.c_str(), 0777) == 0) {
            created_.push_back({false, prefix});
            if (onCreated_) {
                const int parent =
                    ::open(ParentOf(prefix).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                if (parent >= 0) onCreated_(Share(parent));
            }
        } else if (errno != EEXIST) {
            throw SystemErrorAt(errno, prefix);
        }
    }
    const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw SystemErrorAt(errno, path_);
    root_ = Share(fd);
    rootCreated_ = !created_.empty();
}

std::string OutputDirectory::DisplayPath(std::span<const std::string> components) const {
    std::string out = path_ == "/" ? "" : path_;
    for (const auto& c : components) out += "/" + c;
    return out;
}

OutputDirectory::Parent OutputDirectory::OpenParent(std::span<const std::string> components) {
    EnsureExists();
    const auto dirs = components.first(components.empty() ? 0 : components.size() - 1);
    if (dirs.empty()) return {root_, rootCreated_};
    // Start below the deepest directory already open.
    std::size_t done = dirs.size();
    Cached current{root_, rootCreated_};
    for (; done > 0; --done) {
        const auto hit = cache_.find(Join(dirs.first(done)));
        if (hit != cache_.end()) {
            current = hit->second;
            break;
        }
    }
    for (std::size_t i = done; i < dirs.size(); ++i) {
        const char* name = dirs[i].c_str();
        bool made = false;
        int fd = ::openat(current.dir->get(), name, kDirectoryFlags);
        if (fd < 0 && errno == ENOENT) {
            if (::mkdirat(current.dir->get(), name, 0777) == 0) {
                made = true;
                created_.push_back({true, Join(dirs.first(i + 1))});
                if (onCreated_) onCreated_(current.dir);
            } else if (errno != EEXIST) {
                throw SystemError(errno, "create directory " + DisplayPath(dirs.first(i + 1)));
            }
            fd = ::openat(current.dir->get(), name, kDirectoryFlags);
        }
        if (fd < 0) {
            if (errno == ELOOP || errno == ENOTDIR) {
                throw SealError(Msg::PathNotDirectory, DisplayPath(components),
                                "path component is not a directory");
            }
            throw SystemError(errno, "open directory " + DisplayPath(dirs.first(i + 1)));
        }
        current = {Share(fd), made};
        Remember(Join(dirs.first(i + 1)), current);
    }
    return {current.dir, current.createdByRun};
}

void OutputDirectory::Remember(const std::string& key, Cached entry) {
    if (cache_.size() >= kMaxCached) {
        cache_.erase(cacheOrder_.front());
        cacheOrder_.pop_front();
    }
    cache_[key] = std::move(entry);
    cacheOrder_.push_back(key);
}

void OutputDirectory::RemoveCreatedDirectories() noexcept {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        if (!it->belowRoot) {
            ::rmdir(it->name.c_str());
            continue;
        }
        // Walk down again without following links: the tree may have changed meanwhile.
        UniqueFd dir(::fcntl(root_->get(), F_DUPFD_CLOEXEC, 0));
        std::size_t start = 0;
        for (auto slash = it->name.find('/'); dir.valid() && slash != std::string::npos;
             slash = it->name.find('/', start)) {
            dir = UniqueFd(::openat(dir.get(), it->name.substr(start, slash - start).c_str(),
                                    kDirectoryFlags));
            start = slash + 1;
        }
        if (dir.valid()) ::unlinkat(dir.get(), it->name.substr(start).c_str(), AT_REMOVEDIR);
    }
    created_.clear();
}

Leaf InspectLeaf(int dirFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return {};
        throw SystemError(errno, "inspect " + name);
    }
    return {S_ISDIR(st.st_mode) ? LeafState::kDirectory : LeafState::kFile, st.st_dev, st.st_ino};
}

}  // namespace sealwise
