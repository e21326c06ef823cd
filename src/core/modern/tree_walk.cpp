#include "modern/tree_walk.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <set>

#include "app/msg.h"
#include "files/io/posix_io.h"

namespace sealwise::modern {
namespace {

namespace fs = std::filesystem;

class Walker {
  public:
    Walker(FileJobObserver& observer, TreeWalk& walk, int skipFd)
        : observer_(observer), walk_(walk) {
        struct stat st {};
        if (skipFd >= 0 && ::fstat(skipFd, &st) == 0) skip_ = {st.st_dev, st.st_ino};
    }

    void Add(const std::string& path, const std::string& name) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return Fail(path, SystemErrorAt(errno, path));
        if (skip_ && *skip_ == std::pair{st.st_dev, st.st_ino}) return;
        if (!IsSafeEntryName(name)) {
            return Fail(path, SealError(Msg::UnsafeEntryName, path, "name not storable"));
        }
        if (!names_.insert(name).second) return;
        TreeItem item{path, {}};
        EntryMeta& m = item.meta;
        m.name = name;
        m.mode = static_cast<uint16_t>(st.st_mode & 07777);
        m.mtimeSeconds = st.st_mtim.tv_sec;
        m.mtimeNanoseconds = static_cast<uint32_t>(st.st_mtim.tv_nsec);
        if (S_ISREG(st.st_mode)) {
            m.type = EntryType::kFile;
            m.size = static_cast<uint64_t>(st.st_size);
            item.mayHaveHoles = static_cast<uint64_t>(st.st_blocks) * 512 < m.size;
            walk_.items.push_back(std::move(item));
        } else if (S_ISLNK(st.st_mode)) {
            m.type = EntryType::kSymlink;
            std::string target(kMaxLinkTargetBytes + 1, '\0');
            const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
            if (n <= 0 || static_cast<std::size_t>(n) > kMaxLinkTargetBytes) {
                return Fail(path, SystemErrorAt(n < 0 ? errno : ENAMETOOLONG, path));
            }
            target.resize(static_cast<std::size_t>(n));
            m.linkTarget = std::move(target);
            m.size = m.linkTarget.size();
            walk_.items.push_back(std::move(item));
        } else if (S_ISDIR(st.st_mode)) {
            m.type = EntryType::kDirectory;
            walk_.items.push_back(std::move(item));
            AddChildren(path, name);
        } else {
            Fail(path, SealError(Msg::NotRegularFile, path, "special file"));
        }
    }

  private:
    void AddChildren(const std::string& path, const std::string& name) {
        DIR* dir = ::opendir(path.c_str());
        if (!dir) return Fail(path, SystemErrorAt(errno, path));
        std::vector<std::string> children;
        errno = 0;
        while (const dirent* e = ::readdir(dir)) {
            const std::string child = e->d_name;
            if (child != "." && child != "..") children.push_back(child);
        }
        const int err = errno;
        ::closedir(dir);
        if (err != 0) return Fail(path, SystemErrorAt(err, path));
        std::sort(children.begin(), children.end());  // the same tree gives the same container
        for (const std::string& child : children) Add(path + "/" + child, name + "/" + child);
    }

    void Fail(const std::string& path, const SealError& error) {
        observer_.ReportError(path, error);
        ++walk_.failed;
    }

    FileJobObserver& observer_;
    TreeWalk& walk_;
    std::set<std::string> names_;
    std::optional<std::pair<dev_t, ino_t>> skip_;
};

}  // namespace

std::vector<NamedInput> NamedAsGiven(const std::vector<std::string>& paths) {
    std::vector<NamedInput> inputs;
    for (const std::string& path : paths) {
        fs::path p = fs::absolute(path).lexically_normal();
        if (!p.has_filename()) p = p.parent_path();
        inputs.push_back({path, p.filename().string()});
    }
    return inputs;
}

TreeWalk WalkNamedInputs(const std::vector<NamedInput>& inputs, FileJobObserver& observer,
                         int skipFd) {
    TreeWalk walk;
    Walker walker(observer, walk, skipFd);
    for (const NamedInput& input : inputs) walker.Add(input.path, input.name);
    return walk;
}

}  // namespace sealwise::modern
