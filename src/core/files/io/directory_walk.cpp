#include "files/io/directory_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>

#include "app/msg.h"

namespace sealwise {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

enum class Kind { kFile, kDirectory, kSkip };

// What a directory entry is, from its d_type when the file system gives it (no system call)
// and from a stat otherwise. Links are followed only to files.
Kind Classify(int dirFd, const dirent& entry, const std::string& path,
              std::vector<SkippedInput>& skipped) {
    unsigned char type = entry.d_type;
    struct stat st {};
    if (type == DT_UNKNOWN) {
        if (::fstatat(dirFd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            skipped.push_back({path, Msg::InputUnreadable, std::strerror(errno)});
            return Kind::kSkip;
        }
        type = S_ISLNK(st.st_mode)   ? DT_LNK
               : S_ISDIR(st.st_mode) ? DT_DIR
               : S_ISREG(st.st_mode) ? DT_REG
                                     : DT_FIFO;
    }
    if (type == DT_REG) return Kind::kFile;
    if (type == DT_DIR) return Kind::kDirectory;
    if (type == DT_LNK) {
        if (::fstatat(dirFd, entry.d_name, &st, 0) != 0) {
            skipped.push_back({path, Msg::InputUnreadable, std::strerror(errno)});
            return Kind::kSkip;
        }
        if (S_ISREG(st.st_mode)) return Kind::kFile;
        if (S_ISDIR(st.st_mode)) {
            skipped.push_back({path, Msg::LinkToDirectoryLeftOut, {}});
            return Kind::kSkip;
        }
    }
    skipped.push_back({path, Msg::SpecialFileLeftOut, {}});
    return Kind::kSkip;
}

// True when the entry is the file to leave out. d_ino only preselects: it may differ from
// st_ino on some file systems, so the stat decides.
bool IsLeftOut(int dirFd, const dirent& entry, const WalkOptions& options) {
    if (!options.leaveOut || entry.d_ino != options.leaveOut->inode) return false;
    struct stat st {};
    return ::fstatat(dirFd, entry.d_name, &st, 0) == 0 &&
           FileIdentity{st.st_dev, st.st_ino} == *options.leaveOut;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

bool WalkDirectoryTree(const std::string& directory, const WalkOptions& options,
                       std::vector<SkippedInput>& skipped) {
    // O_NOFOLLOW: a directory swapped for a link after it was listed is not entered.
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        std::string shown = directory;
        if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
        skipped.push_back({shown, Msg::DirectoryUnreadable, std::strerror(errno)});
        return true;
    }
    std::set<std::string> files, subdirectories;
    {
        std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
        if (!dir) {
            ::close(fd);
            skipped.push_back({directory, Msg::DirectoryUnreadable, std::strerror(errno)});
            return true;
        }
        errno = 0;
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            if (IsLeftOut(fd, *entry, options)) continue;
            switch (Classify(fd, *entry, directory + name, skipped)) {
                case Kind::kFile:
                    files.insert(name);
                    break;
                case Kind::kDirectory:
                    subdirectories.insert(name);
                    break;
                case Kind::kSkip:
                    break;
            }
            errno = 0;
        }
        if (errno != 0) {
            skipped.push_back({directory, Msg::DirectoryUnreadable, std::strerror(errno)});
        }
    }
    for (const std::string& name : files) {
        if (options.onFile && !options.onFile(directory + name)) return false;
    }
    for (const std::string& name : subdirectories) {
        if (!WalkDirectoryTree(directory + name + "/", options, skipped)) return false;
    }
    return true;
}

}  // namespace sealwise
