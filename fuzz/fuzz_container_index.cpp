// The index at a container's end: locating it in the tail and parsing the entry sizes.
// Properties: every parsed size is a valid 32-bit size, sizes survive encoding and parsing, and
// the streaming parser agrees with the whole-index one.
#include <algorithm>
#include <cstdlib>

#include "files/format/container_index.h"

using namespace sealwise;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> container(data, size);
    const auto tailLength = static_cast<std::size_t>(IndexTailLength(static_cast<int64_t>(size)));
    if (tailLength > size) std::abort();
    const auto found = FindIndexLength(container.last(tailLength));
    if (!found) return 0;
    if (found->indexLength < 0 || found->digitCount < 0 ||
        static_cast<std::size_t>(found->digitCount) >= tailLength) {
        std::abort();
    }
    const auto indexEnd = static_cast<int64_t>(size) - found->digitCount;
    if (found->indexLength == 0 || found->indexLength > indexEnd) return 0;
    const auto index = container.subspan(static_cast<std::size_t>(indexEnd - found->indexLength),
                                         static_cast<std::size_t>(found->indexLength));
    const auto sizes = ParseIndex(index);
    if (!sizes) return 0;
    for (int32_t s : *sizes) {
        if (s < 0) std::abort();
    }
    // The parser that readers use on the file gives the same records, fed in slices of any
    // size (the first input byte picks it) and with its quick path over empty records.
    const std::size_t slice = size > 0 ? data[0] % 7 + 1 : 1;
    IndexParser parser;
    std::vector<int32_t> streamed;
    for (std::size_t at = 0; at < index.size(); at += slice) {
        std::span<const uint8_t> in = index.subspan(at, std::min(slice, index.size() - at));
        for (int32_t record = 0;;) {
            streamed.insert(streamed.end(), parser.SkipEmptyRecords(in), 0);
            const IndexParser::Step step = parser.Next(in, record);
            if (step == IndexParser::Step::kOverflow) std::abort();
            if (step == IndexParser::Step::kNeedMore) break;
            streamed.push_back(record);
        }
    }
    if (streamed != *sizes) std::abort();
    const Bytes again = EncodeIndex(*sizes);
    // The index part of the encoding (without its length digits) must parse back exactly.
    const Bytes indexOnly = [&] {
        Bytes out = again;
        while (!out.empty() && out.back() != 0xFF) out.pop_back();
        return out;
    }();
    const auto roundTrip = ParseIndex(indexOnly);
    if (!roundTrip || *roundTrip != *sizes) std::abort();
    return 0;
}
