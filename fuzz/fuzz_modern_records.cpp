// The parts of a modern container that are read before or after authentication: the header,
// entry, data and end records, and the armour around a text. Properties: an accepted entry
// name is a safe relative path, a decoded piece has the length its record states, and an
// entry record that decodes encodes back to the same bytes.
#include <cstdlib>
#include <string>

#include "modern/modern_format.h"
#include "modern/modern_text.h"
#include "modern/records.h"
#include "util/errors.h"

using namespace sealwise;
using namespace sealwise::modern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (size >= kHeaderSize) ParseHeader(bytes.first<kHeaderSize>());
    if (const auto entry = DecodeEntryRecord(bytes)) {
        if (!IsSafeEntryName(entry->name)) std::abort();
        if (EncodeEntryRecord(*entry) != Bytes(bytes.begin(), bytes.end())) std::abort();
    }
    static PieceCodec codec;
    Bytes piece;
    if (codec.Decode(bytes, piece) && (piece.empty() || piece.size() > kMaxPieceSize)) {
        std::abort();
    }
    DecodeEndRecord(bytes);
    try {
        static const std::vector<std::string> keys{"fuzz"};
        OpenText(std::string(bytes.begin(), bytes.end()), keys);
    } catch (const SealError&) {
    }
    return 0;
}
