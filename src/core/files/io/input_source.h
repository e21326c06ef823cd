#pragma once
// Where the encrypt job reads a file's bytes from: a regular file normally, something else in
// tests that need a read to fail half way.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "files/io/directory_walk.h"

namespace sealwise {

class InputSource {
  public:
    virtual ~InputSource() = default;
    // The size the file reports; 0 also for files that only tell their size by being read to
    // the end (/proc and the like), so a size of 0 is read until the end of the file.
    virtual int64_t Size() const = 0;
    // Device and inode, when known (to recognise the container being written).
    virtual std::optional<FileIdentity> Identity() const { return std::nullopt; }
    // Fills out from the current position; fewer bytes only at the end. Throws SealError.
    virtual std::size_t Read(std::span<uint8_t> out) = 0;
};

using InputOpener = std::function<std::unique_ptr<InputSource>(const std::string& path)>;

// Opens a regular file for reading. Throws SealError 103 with the system's description, or
// 426 when the path names something other than a regular file (a FIFO would block forever).
std::unique_ptr<InputSource> OpenInputFile(const std::string& path);

}  // namespace sealwise
