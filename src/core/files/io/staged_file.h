#pragma once
// A new file written out of sight and given its final name only when complete: a failed or
// cancelled job leaves any old file of that name as it was and no partial file behind.
//
// A file that takes a free name is written as an unnamed file (O_TMPFILE) and linked under
// its name, which fails instead of replacing when the name was taken meanwhile. A file that
// replaces another is written under a hidden temporary name beside it, flushed, given the old
// file's permissions and renamed over it.
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "files/io/posix_io.h"

namespace sealwise {

class DeferredFlush;

// A write to a staged file failed (disk full, file size limit, I/O error): the file is
// incomplete, so whoever writes it must give it up as a whole, not just the item at hand.
class StagedWriteError : public SealError {
  public:
    explicit StagedWriteError(const SealError& cause) : SealError(cause) {}
};

// Commit found the free name taken by something made after the file was staged; the staged
// file is intact and can be committed again (replacing, or under another name).
class NameTakenError : public SealError {
  public:
    explicit NameTakenError(const SealError& cause) : SealError(cause) {}
};

enum class Placement {
    kFreeName,  // never replaces anything (NameTakenError instead)
    kReplace,   // replaces what has the name (never a file set with ProtectFile)
};

enum class FlushMode {
    kNow,       // flushed before Commit returns
    kDeferred,  // handed to a DeferredFlush, which flushes many files at once
    kNone,      // left to the system's write-back (a replacing file is still flushed first)
};

class StagedFile {
  public:
    // The file will become finalName inside the directory dir. It is created at the first
    // Append, fd() or Commit, on whichever thread that runs: creating a file is among the
    // costliest steps of a restore, and the thread that writes it can do it.
    StagedFile(SharedFd dir, std::string finalName, Placement placement);
    // The file will become path; its directory must exist.
    explicit StagedFile(const std::string& path, Placement placement = Placement::kReplace);
    ~StagedFile();  // discards the file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Throws SealError 103 when the file cannot be created.
    int fd() {
        EnsureCreated();
        return file_.get();
    }
    int64_t size() const noexcept { return size_; }
    const std::string& finalName() const noexcept { return finalName_; }
    const SharedFd& dir() const noexcept { return dir_; }

    // Throws StagedWriteError when the data cannot be written.
    void Append(std::span<const uint8_t> data);
    // Cuts the file back to length bytes (length <= size()); throws StagedWriteError.
    void TruncateTo(int64_t length);

    void SetFlushMode(FlushMode mode, DeferredFlush* flush = nullptr) noexcept {
        flushMode_ = mode;
        deferred_ = flush;
    }
    void SetPlacement(Placement placement) noexcept { placement_ = placement; }
    // The permission bits Commit gives the file, instead of the normal ones or those of the
    // file it replaces.
    void SetMode(mode_t mode) noexcept { mode_ = mode; }
    Placement placement() const noexcept { return placement_; }
    // The file (by device and inode) that Commit must never replace, such as the container
    // being read; Commit throws SealError 600 naming shownAs instead.
    void ProtectFile(dev_t device, ino_t inode, std::string shownAs) {
        protectedDevice_ = device;
        protectedInode_ = inode;
        shownAs_ = std::move(shownAs);
    }
    // Commits to another name, in another directory of the same file system.
    void Retarget(SharedFd dir, std::string finalName);

    // Gives the file its final name (see Placement, FlushMode). Throws NameTakenError, or
    // SealError 103 / 600; the file stays staged after a failure.
    void Commit();
    // Removes the staged file (also done by the destructor).
    void Discard() noexcept;

  private:
    void EnsureCreated() {
        if (!created_) Create({});
    }
    // where: the directory as people know it, named in failures; empty when unknown.
    void Create(const std::string& where);
    void CreateUnnamed();
    void CreateNamed(const std::string& where);
    void CommitFree();
    void CommitReplacing();
    // Links the unnamed file under name in dir; false with errno set on failure.
    bool LinkAs(const char* name) const;
    void AfterPlaced();

    SharedFd dir_;
    UniqueFd file_;
    std::string finalName_;
    std::string tempName_;  // empty while the file is unnamed
    int64_t size_ = 0;
    Placement placement_;
    FlushMode flushMode_ = FlushMode::kNow;
    DeferredFlush* deferred_ = nullptr;
    dev_t protectedDevice_ = 0;
    ino_t protectedInode_ = 0;
    std::string shownAs_;
    std::optional<mode_t> mode_;
    bool created_ = false;
    bool committed_ = false;
};

// A hidden name for a temporary file or link beside its final one (".sealwise-....part").
std::string HiddenTempName();

}  // namespace sealwise
