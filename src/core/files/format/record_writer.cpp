#include "files/format/record_writer.h"

namespace sealwise {

void RecordWriter::Append(std::span<const uint8_t> header, std::span<const uint8_t> body) {
    if (buffer_.size() + header.size() + body.size() > kCapacity) Flush();
    if (header.size() + body.size() > kCapacity) {  // a large record goes out directly
        file_.Append(header);
        file_.Append(body);
        Written();
        return;
    }
    if (buffer_.capacity() < kCapacity) buffer_.reserve(kCapacity);
    buffer_.insert(buffer_.end(), header.begin(), header.end());
    buffer_.insert(buffer_.end(), body.begin(), body.end());
}

void RecordWriter::TruncateTo(int64_t length) {
    if (length >= file_.size()) {
        buffer_.resize(static_cast<std::size_t>(length - file_.size()));
        return;
    }
    buffer_.clear();
    file_.TruncateTo(length);
    writeback_.CutTo(length);
}

void RecordWriter::Flush() {
    if (buffer_.empty()) return;
    file_.Append(buffer_);
    buffer_.clear();
    Written();
}

}  // namespace sealwise
