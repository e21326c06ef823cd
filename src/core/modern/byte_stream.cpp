#include "modern/byte_stream.h"

#include <algorithm>
#include <cerrno>
#include <istream>
#include <ostream>

#include "files/io/posix_io.h"

namespace sealwise::modern {

std::size_t FdSource::Read(std::span<uint8_t> out) { return ReadFull(fd_, out); }

void FdSink::Write(std::span<const uint8_t> data) { WriteAll(fd_, data); }

std::size_t IstreamSource::Read(std::span<uint8_t> out) {
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (in_.bad()) throw SystemError(EIO, "reading the input");
    return static_cast<std::size_t>(in_.gcount());
}

void OstreamSink::Write(std::span<const uint8_t> data) {
    out_.write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    if (!out_) throw SystemError(EIO, "writing the output");
}

std::size_t MemorySource::Read(std::span<uint8_t> out) {
    const std::size_t n = std::min(out.size(), data_.size() - at_);
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(at_), n, out.begin());
    at_ += n;
    return n;
}

}  // namespace sealwise::modern
