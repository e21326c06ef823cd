#include "modern/entry_stream.h"

namespace sealwise::modern {

std::optional<EntryMeta> EntryStream::NextEntry() {
    if (remaining_ > 0) reader_.Damaged("entry read before the data of the previous one");
    bool final = false;
    reader_.Next(record_, final);
    if (final) {
        const std::optional<uint64_t> count = DecodeEndRecord(record_);
        if (!count || *count != entries_) reader_.Damaged("end record");
        return std::nullopt;
    }
    std::optional<EntryMeta> entry = DecodeEntryRecord(record_);
    if (!entry) reader_.Damaged("entry record");
    ++entries_;
    remaining_ = entry->type == EntryType::kFile ? entry->size : 0;
    return entry;
}

bool EntryStream::NextPiece(Bytes& piece) {
    if (remaining_ == 0) return false;
    bool final = false;
    reader_.Next(record_, final);
    if (final || !codec_.Decode(record_, piece) || piece.size() > remaining_) {
        reader_.Damaged("data record");
    }
    remaining_ -= piece.size();
    return true;
}

void EntryStream::SkipData() {
    Bytes piece;
    while (NextPiece(piece)) {
    }
}

}  // namespace sealwise::modern
