#pragma once
// Where the encrypt job reads a file's bytes from: a regular file normally, something else in
// tests that need a read to fail half way.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace sealwise {

class InputSource {
  public:
    virtual ~InputSource() = default;
    virtual int64_t Size() const = 0;
    // Fills out from the current position; fewer bytes only at the end. Throws SealError.
    virtual std::size_t Read(std::span<uint8_t> out) = 0;
};

using InputOpener = std::function<std::unique_ptr<InputSource>(const std::string& path)>;

// Opens a regular file for reading. Throws SealError 103 with the system's description, or
// 426 when the path names something other than a regular file (a FIFO would block forever).
std::unique_ptr<InputSource> OpenInputFile(const std::string& path);

}  // namespace sealwise
