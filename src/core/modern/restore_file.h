#pragma once
// A file being restored from a modern container: written under a temporary name in its
// directory, given its permission bits and modification time, and renamed to its final name
// only when all its data has authenticated. Runs of zero bytes become holes, so sparse files
// stay sparse.
#include <cstdint>
#include <span>
#include <string>

#include "files/io/deferred_flush.h"
#include "files/io/posix_io.h"
#include "modern/records.h"

namespace sealwise::modern {

class RestoreFile {
  public:
    // Creates the temporary file inside dir.
    RestoreFile(SharedFd dir, std::string finalName);
    ~RestoreFile();  // removes the temporary file unless committed
    RestoreFile(const RestoreFile&) = delete;
    RestoreFile& operator=(const RestoreFile&) = delete;

    void Append(std::span<const uint8_t> data);
    // Sets the length, the permission bits and the modification time, flushes the data when
    // there is no deferred flush (a file that replaces another must be on disk before its
    // rename), renames the file into place and hands it to the deferred flush, if any.
    void Commit(const EntryMeta& meta, DeferredFlush* flush);

  private:
    SharedFd dir_;
    UniqueFd file_;
    std::string finalName_;
    std::string tempName_;
    int64_t size_ = 0;
};

// A name for a temporary file or link beside the final one.
std::string TemporaryName();

// The permission bits a restored entry gets: set-user-id and set-group-id are never restored.
inline unsigned RestoredMode(uint16_t mode) { return mode & 01777u; }

}  // namespace sealwise::modern
