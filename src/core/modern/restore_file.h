#pragma once
// A file being restored from a modern container: staged out of sight (files/io/staged_file.h),
// given its permission bits and modification time, and put in place only when all its data has
// authenticated. Runs of zero bytes become holes, so sparse files stay sparse.
#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>

#include "files/io/deferred_flush.h"
#include "files/io/posix_io.h"
#include "files/io/staged_file.h"
#include "modern/records.h"

namespace sealwise::modern {

class RestoreFile {
  public:
    // The file will become finalName inside dir; replaces: it takes the place of an existing
    // file (which the user agreed to), else the name must still be free at the end.
    RestoreFile(SharedFd dir, std::string finalName, bool replaces);

    void Append(std::span<const uint8_t> data);
    // Sets the length, the permission bits and the modification time and puts the file in
    // place: flushed first when it replaces another, else handed to flush.
    void Commit(const EntryMeta& meta, DeferredFlush& flush);

  private:
    StagedFile file_;
    int64_t size_ = 0;
    bool endsInHole_ = false;
};

// The permission bits a restored entry gets: set-user-id and set-group-id are never restored.
inline unsigned RestoredMode(uint16_t mode) { return mode & 01777u; }

// The times a restored entry gets (for futimens and utimensat): accessed now, modified when the
// stored entry was.
inline std::array<timespec, 2> RestoredTimes(const EntryMeta& meta) {
    return {{{0, UTIME_NOW}, {meta.mtimeSeconds, static_cast<long>(meta.mtimeNanoseconds)}}};
}

}  // namespace sealwise::modern
