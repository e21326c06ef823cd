#include "files/format/record_read_ahead.h"

#include <algorithm>

#include "files/format/byte_order.h"
#include "files/format/container_format.h"

namespace sealwise {

using namespace container;

int64_t RecordReadAhead::CipherLength(int64_t offset, int64_t entryEnd) {
    uint8_t field[kRecordHeaderSize];
    if (offset + kRecordHeaderSize > entryEnd || !Read(offset, field)) return 0;
    return CheckedCipherLength(field, offset, entryEnd);
}

int64_t RecordReadAhead::ReadRecord(int64_t offset, int64_t entryEnd, Bytes& cipher) {
    const int64_t cipherLength = CipherLength(offset, entryEnd);
    if (cipherLength == 0) return 0;
    cipher.resize(static_cast<std::size_t>(cipherLength));
    if (!Read(offset + kRecordHeaderSize, cipher)) return 0;
    return kRecordHeaderSize + cipherLength;
}

bool RecordReadAhead::Read(int64_t offset, std::span<uint8_t> out) {
    const auto length = static_cast<int64_t>(out.size());
    const int64_t bufferEnd = bufferStart_ + static_cast<int64_t>(buffer_.size());
    if (offset >= bufferStart_ && offset + length <= bufferEnd) {
        std::copy_n(buffer_.begin() + (offset - bufferStart_), out.size(), out.begin());
        return true;
    }
    // A large record goes straight to its place: copying it would gain nothing.
    if (length > kBufferBytes / 2) return reader_.ReadExact(offset, out);
    buffer_.resize(static_cast<std::size_t>(std::min(kBufferBytes, reader_.size() - offset)));
    bufferStart_ = offset;
    buffer_.resize(reader_.ReadAt(offset, buffer_));
    if (length > static_cast<int64_t>(buffer_.size())) return false;
    std::copy_n(buffer_.begin(), out.size(), out.begin());
    return true;
}

}  // namespace sealwise
