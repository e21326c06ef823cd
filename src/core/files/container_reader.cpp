#include "files/container_reader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "files/byte_order.h"
#include "files/container_format.h"
#include "files/container_index.h"
#include "files/message_ids.h"

namespace sealwise {

using namespace container;

ContainerReader::ContainerReader(const std::string& path) : path_(path) {
    fd_ = UniqueFd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd_.valid()) throw SystemErrorAt(errno, path);
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) throw SystemErrorAt(errno, path);
    if (S_ISDIR(st.st_mode)) throw SystemErrorAt(EISDIR, path);
    if (!S_ISREG(st.st_mode))
        throw SealError(msg::kNotRegularFile, path, "container is not a regular file");
    size_ = st.st_size;
    if (size_ > kMaxSize)
        throw SealError(msg::kDamagedContainer, path, "container of 2 GiB or more");
    ReadIndex();
}

void ContainerReader::ReadIndex() {
    const SealError noContent(msg::kNoUsableContent, {}, "no index found");
    Bytes tail(static_cast<std::size_t>(IndexTailLength(size_)));
    if (tail.empty()) throw noContent;
    if (!ReadExact(size_ - static_cast<int64_t>(tail.size()), tail)) throw noContent;
    const std::optional<IndexLength> found = FindIndexLength(tail);
    if (!found || found->indexLength == 0) throw noContent;

    const int64_t indexEnd = size_ - found->digitCount;
    const int64_t indexStart = indexEnd - found->indexLength;
    const SealError damaged(msg::kDamagedContainer, path_, "index does not fit the container");
    if (indexStart < 0) throw damaged;
    Bytes index(static_cast<std::size_t>(found->indexLength));
    if (!ReadExact(indexStart, index)) throw damaged;
    const auto sizes = ParseIndex(index);
    if (!sizes) throw noContent;

    // The entries fill the file from its first byte up to the index, exactly.
    int64_t position = 0;
    entries_.reserve(sizes->size());
    for (int32_t size : *sizes) {
        entries_.push_back({position, size});
        position += size;
        if (position > indexStart) throw damaged;
    }
    if (position != indexStart) throw damaged;
}

bool ContainerReader::ReadExact(int64_t offset, std::span<uint8_t> out) const {
    return ReadAt(fd_.get(), offset, out) == out.size();
}

int64_t ContainerReader::RecordCipherLength(int64_t offset, int64_t entryEnd) const {
    uint8_t field[kRecordHeaderSize];
    if (offset + kRecordHeaderSize > entryEnd || !ReadExact(offset, field)) return 0;
    const int64_t cipherLength = static_cast<int64_t>(GetInt32Le(field)) + 1;
    if (cipherLength < kCipherBlock || cipherLength % kCipherBlock != 0 ||
        cipherLength > kMaxCipherLength || offset + kRecordHeaderSize + cipherLength > entryEnd) {
        return 0;
    }
    return cipherLength;
}

int64_t ContainerReader::ReadRecord(int64_t offset, int64_t entryEnd, Bytes& cipher) const {
    const int64_t cipherLength = RecordCipherLength(offset, entryEnd);
    if (cipherLength == 0) return 0;
    cipher.resize(static_cast<std::size_t>(cipherLength));
    if (!ReadExact(offset + kRecordHeaderSize, cipher)) return 0;
    return kRecordHeaderSize + cipherLength;
}

}  // namespace sealwise
