#pragma once
// The entries of a modern container of files, one after the other with the pieces of their
// data, as restore, list and verify read them. Every failure is a StreamDamaged.
#include <cstdint>
#include <optional>

#include "modern/records.h"
#include "modern/sealed_stream.h"

namespace sealwise::modern {

class EntryStream {
  public:
    explicit EntryStream(SealedReader& reader) : reader_(reader) {}

    // The next entry; nullopt after the last, once the end record and the final tag are
    // checked. The data of the previous entry must have been read to its end.
    std::optional<EntryMeta> NextEntry();
    // The next piece of the current file's data; false when its data is complete.
    bool NextPiece(Bytes& piece);
    // Reads (and so checks) the rest of the current file's data, keeping none of it.
    void SkipData();

    uint64_t entriesRead() const noexcept { return entries_; }

  private:
    SealedReader& reader_;
    PieceCodec codec_;
    Bytes record_;
    uint64_t remaining_ = 0;
    uint64_t entries_ = 0;
};

}  // namespace sealwise::modern
