#include "files/format/container_reader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "files/format/byte_order.h"
#include "files/format/container_format.h"
#include "files/jobs/message_ids.h"

namespace sealwise {

using namespace container;

namespace {

// The index is read from the file in slices of this size.
constexpr int64_t kIndexSlice = 64 * 1024;

SealError DamagedContainer(const std::string& path) {
    return SealError(msg::kDamagedContainer, path, "index does not fit the container");
}

}  // namespace

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
    indexStart_ = indexEnd - found->indexLength;
    indexLength_ = found->indexLength;
    if (indexStart_ < 0) throw DamagedContainer(path_);

    // One pass over the whole index checks every size before any entry is read: the entries
    // must lie between offset 0 and the index. Bytes left between the last entry and the
    // index belong to no entry; the entries the index locates are still sound.
    EntryCursor cursor(*this);
    EntryExtent entry;
    int64_t entries = 0;
    for (; cursor.Next(entry); ++entries) entriesEnd_ = entry.start + entry.size;
    // Only records of size 0: every file failed when the container was made.
    if (entries == 0)
        throw SealError(msg::kNoUsableContent, {}, "no record of the index has bytes");
    records_ = cursor.recordsRead();
    emptyRecords_ = records_ - entries;
}

EntryCursor::EntryCursor(const ContainerReader& reader)
    : reader_(reader), readOffset_(reader.indexStart_) {}

bool EntryCursor::Refill() {
    const int64_t indexEnd = reader_.indexStart_ + reader_.indexLength_;
    if (readOffset_ >= indexEnd) return false;
    buffer_.resize(static_cast<std::size_t>(std::min(kIndexSlice, indexEnd - readOffset_)));
    if (ReadAt(reader_.fd_.get(), readOffset_, buffer_) != buffer_.size())
        throw DamagedContainer(reader_.path_);
    readOffset_ += static_cast<int64_t>(buffer_.size());
    pending_ = buffer_;
    return true;
}

bool EntryCursor::Next(EntryExtent& entry) {
    for (;;) {
        number_ += parser_.SkipEmptyRecords(pending_);
        int32_t size = 0;
        switch (parser_.Next(pending_, size)) {
            case IndexParser::Step::kOverflow:
                throw SealError(msg::kNoUsableContent, {}, "an index size overflows");
            case IndexParser::Step::kNeedMore:
                if (!Refill()) return false;  // the index ends with 0xFF: nothing is left open
                continue;
            case IndexParser::Step::kRecord:
                break;
        }
        const int64_t number = number_++;
        if (size == 0) continue;  // no bytes of its own: the next entry starts right here
        entry = {number, position_, size};
        position_ += size;
        if (position_ > reader_.indexStart_) throw DamagedContainer(reader_.path_);
        return true;
    }
}

bool ContainerReader::ReadExact(int64_t offset, std::span<uint8_t> out) const {
    return ReadAt(offset, out) == out.size();
}

std::size_t ContainerReader::ReadAt(int64_t offset, std::span<uint8_t> out) const {
    return sealwise::ReadAt(fd_.get(), offset, out);
}

int64_t ContainerReader::RecordCipherLength(int64_t offset, int64_t entryEnd) const {
    uint8_t field[kRecordHeaderSize];
    if (offset + kRecordHeaderSize > entryEnd || !ReadExact(offset, field)) return 0;
    return CheckedCipherLength(field, offset, entryEnd);
}

int64_t CheckedCipherLength(const uint8_t* field, int64_t offset, int64_t entryEnd) {
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
