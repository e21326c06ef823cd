#include "files/output_directory.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "files/message_ids.h"

namespace sealwise {

OutputDirectory::OutputDirectory(std::string path) : path_(std::move(path)) {
    dir_ = UniqueFd(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir_.valid()) throw SystemErrorAt(errno, path_);
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
}

std::string OutputDirectory::DisplayPath(std::span<const std::string> components) const {
    std::string out = path_ == "/" ? "" : path_;
    for (const auto& c : components) out += "/" + c;
    return out;
}

UniqueFd OutputDirectory::OpenParent(std::span<const std::string> components) const {
    UniqueFd current(::fcntl(dir_.get(), F_DUPFD_CLOEXEC, 0));
    if (!current.valid()) throw SystemError(errno, "dup output directory");
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        const char* name = components[i].c_str();
        int fd = ::openat(current.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            if (::mkdirat(current.get(), name, 0777) != 0 && errno != EEXIST) {
                throw SystemError(errno,
                                  "create directory " + DisplayPath(components.first(i + 1)));
            }
            fd = ::openat(current.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (fd < 0) {
            if (errno == ELOOP || errno == ENOTDIR) {
                throw SealError(msg::kPathNotDirectory, DisplayPath(components),
                                "path component is not a directory");
            }
            throw SystemError(errno, "open directory " + DisplayPath(components.first(i + 1)));
        }
        current = UniqueFd(fd);
    }
    return current;
}

LeafState InspectLeaf(int dirFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return LeafState::kMissing;
        throw SystemError(errno, "inspect " + name);
    }
    return S_ISDIR(st.st_mode) ? LeafState::kDirectory : LeafState::kFile;
}

}  // namespace sealwise
