#include "modern/byte_stream.h"

#include <algorithm>
#include <cerrno>
#include <istream>
#include <ostream>

#include "files/io/posix_io.h"

namespace sealwise::modern {

std::size_t FdSource::Read(std::span<uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        if (at_ == end_) {
            if (out.size() - done >= kFdBufferSize) return done + ReadFull(fd_, out.subspan(done));
            buffer_.resize(kFdBufferSize);
            // One read: a pipe hands over what it has, and the loop asks again.
            const std::size_t got = ReadSome(fd_, buffer_);
            if (got == 0) break;
            at_ = 0;
            end_ = got;
        }
        const std::size_t n = std::min(end_ - at_, out.size() - done);
        std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(at_), n,
                    out.begin() + static_cast<std::ptrdiff_t>(done));
        at_ += n;
        done += n;
    }
    return done;
}

void FdSink::Write(std::span<const uint8_t> data) {
    if (pending_.size() + data.size() > kFdBufferSize) Flush();
    if (data.size() >= kFdBufferSize) {
        Out(data);
        return;
    }
    pending_.insert(pending_.end(), data.begin(), data.end());
}

void FdSink::Flush() {
    if (pending_.empty()) return;
    Out(pending_);
    pending_.clear();
}

void FdSink::Out(std::span<const uint8_t> data) {
    WriteAll(fd_, data);
    written_ += static_cast<int64_t>(data.size());
    if (ahead_) writeback_.Written(fd_, written_);
}

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
