#include "modern/entry_stream.h"

#include "modern/pipeline_shape.h"

namespace sealwise::modern {

EntryStream::EntryStream(SealedReader& reader, std::stop_token stop, int threads, PumpHook* pump)
    : reader_(reader),
      stop_(std::move(stop)),
      shape_(ModernReaderShape(threads)),
      codecs_([this] {
          std::vector<std::unique_ptr<PieceCodec>> codecs;
          for (int i = 0; i < shape_.workers; ++i) codecs.push_back(std::make_unique<PieceCodec>());
          return codecs;
      }()),
      pipeline_(shape_.workers, shape_.unitsPerWorker,
                {.read = [this](Unit& unit) { return Open(unit); },
                 .work =
                     [this](Unit& unit, int worker) {
                         unit.decoded = !unit.damage && !unit.final &&
                                        IsRecord(unit.record, RecordKind::kData) &&
                                        codecs_[static_cast<std::size_t>(worker)]->Decode(
                                            unit.record, unit.buffer, unit.piece);
                     },
                 .cancelled = [this] { return stop_.stop_requested(); },
                 .pump = pump}) {}

bool EntryStream::Open(Unit& unit) {
    if (opened_all_) return false;
    unit.damage = nullptr;
    unit.final = false;
    try {
        reader_.Next(unit.record, unit.final);
    } catch (...) {
        // Damage or a read error: nothing behind it can be read; the caller learns of it in
        // order.
        unit.damage = std::current_exception();
        opened_all_ = true;
        return true;
    }
    opened_all_ = unit.final;
    return true;
}

const EntryStream::Unit& EntryStream::Take() {
    if (failure_) std::rethrow_exception(failure_);
    const Unit* unit = pipeline_.Next();
    if (!unit) {
        if (stop_.stop_requested()) throw EntryStreamStopped{};
        reader_.Damaged("read after the final record");  // callers stop at the end record
    }
    if (unit->damage) {
        failure_ = unit->damage;
        std::rethrow_exception(failure_);
    }
    return *unit;
}

std::optional<EntryMeta> EntryStream::NextEntry() {
    if (remaining_ > 0) reader_.Damaged("entry read before the data of the previous one");
    const Unit& unit = Take();
    if (unit.final) {
        const std::optional<uint64_t> count = DecodeEndRecord(unit.record);
        if (!count || *count != entries_) reader_.Damaged("end record");
        return std::nullopt;
    }
    std::optional<EntryMeta> entry = DecodeEntryRecord(unit.record);
    if (!entry) reader_.Damaged("entry record");
    ++entries_;
    remaining_ = entry->type == EntryType::kFile ? entry->size : 0;
    return entry;
}

bool EntryStream::NextPiece(std::span<const uint8_t>& piece) {
    if (remaining_ == 0) return false;
    const Unit& unit = Take();
    if (!unit.decoded || unit.piece.size() > remaining_) reader_.Damaged("data record");
    remaining_ -= unit.piece.size();
    piece = unit.piece;
    return true;
}

void EntryStream::SkipData() {
    std::span<const uint8_t> piece;
    while (NextPiece(piece)) {
    }
}

}  // namespace sealwise::modern
