#include "files/io/input_source.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "files/io/posix_io.h"
#include "files/jobs/message_ids.h"

namespace sealwise {
namespace {

class RegularFileSource : public InputSource {
  public:
    RegularFileSource(UniqueFd fd, int64_t size, FileIdentity identity)
        : fd_(std::move(fd)), size_(size), identity_(identity) {}
    int64_t Size() const override { return size_; }
    std::optional<FileIdentity> Identity() const override { return identity_; }
    std::size_t Read(std::span<uint8_t> out) override { return ReadFull(fd_.get(), out); }

  private:
    UniqueFd fd_;
    int64_t size_;
    FileIdentity identity_;
};

}  // namespace

std::unique_ptr<InputSource> OpenInputFile(const std::string& path) {
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused just below.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) throw SystemError(errno, "open " + path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw SystemError(errno, "stat " + path);
    if (!S_ISREG(st.st_mode)) throw SealError(msg::kNotRegularFile, path, "not a regular file");
    // O_NONBLOCK stays: reads of a regular file ignore it.
    return std::make_unique<RegularFileSource>(std::move(fd), static_cast<int64_t>(st.st_size),
                                               FileIdentity{st.st_dev, st.st_ino});
}

}  // namespace sealwise
