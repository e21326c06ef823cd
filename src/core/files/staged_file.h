#pragma once
// A new file written under a temporary name beside its final name and renamed over it only
// when complete: a failed or cancelled job leaves any old file of that name as it was and no
// partial file behind.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/posix_io.h"

namespace sealwise {

// A write to a staged file failed (disk full, file size limit, I/O error): the file is
// incomplete, so whoever writes it must give it up as a whole, not just the item at hand.
class StagedWriteError : public SealError {
  public:
    explicit StagedWriteError(const SealError& cause) : SealError(cause) {}
};

class StagedFile {
  public:
    // The file will become finalName inside the directory dirFd (the descriptor is duplicated).
    StagedFile(int dirFd, std::string finalName);
    // The file will become path; its directory must exist.
    explicit StagedFile(const std::string& path);
    ~StagedFile();  // discards the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    int fd() const noexcept { return file_.get(); }
    int64_t size() const noexcept { return size_; }

    // Throws StagedWriteError when the data cannot be written.
    void Append(std::span<const uint8_t> data);
    // Cuts the file back to length bytes (length <= size()); throws StagedWriteError.
    void TruncateTo(int64_t length);

    // Flushes the data to disk, gives the file normal permissions and moves it into place.
    void Commit();
    // Off: Commit only starts writing the data back and leaves the flush to the caller, who
    // flushes all such files at once when a run ends (FlushCommittedFiles). Only for a file that takes a free name: one that replaces an existing
    // file is always flushed before the rename, or a crash could leave neither old nor new.
    void SetFlushOnCommit(bool flush) noexcept { flushOnCommit_ = flush; }
    bool flushOnCommit() const noexcept { return flushOnCommit_; }
    // Removes the temporary file (also done by the destructor).
    void Discard() noexcept;

  private:
    // where: the directory as people know it, named in failures; empty when the caller names
    // the file itself.
    void CreateTemporary(const std::string& where);

    UniqueFd dir_;
    UniqueFd file_;
    std::string finalName_;
    std::string tempName_;
    int64_t size_ = 0;
    bool flushOnCommit_ = true;
};

// Flushes files committed without their own flush, and the directories that hold them, to
// disk. Data already written back costs little here: mostly one journal commit for them all.
// Throws SealError 103 naming the first path that fails.
void FlushCommittedFiles(const std::vector<std::string>& paths);

}  // namespace sealwise
