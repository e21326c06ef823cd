#include "files/format/container_index.h"

#include <cstring>

#include "files/format/container_format.h"

namespace sealwise {
namespace {

constexpr uint8_t kTerminator = 0xFF;

void AppendDigits(Bytes& out, int64_t value) {
    while (value > 0) {
        out.push_back(static_cast<uint8_t>(value % 255));
        value /= 255;
    }
}

// Adds digit * 255^position to value; false when the result leaves int32.
bool AddDigit(int64_t& value, uint8_t digit, int64_t position) {
    if (digit == 0) return true;
    int64_t weight = 1;
    for (int64_t i = 0; i < position; ++i) {
        weight *= 255;
        if (weight > container::kMaxSize) return false;
    }
    value += digit * weight;
    return value <= container::kMaxSize;
}

}  // namespace

Bytes EncodeIndex(std::span<const int32_t> sizes) {
    Bytes out;
    out.reserve(sizes.size() * 5 + 4);
    for (int32_t size : sizes) {
        AppendDigits(out, size);
        out.push_back(kTerminator);
    }
    AppendDigits(out, static_cast<int64_t>(out.size()));
    return out;
}

int64_t IndexTailLength(int64_t containerSize) {
    if (containerSize < 4) return 0;
    return (containerSize > 100 ? 100 : containerSize - 4) + 1;
}

std::optional<IndexLength> FindIndexLength(std::span<const uint8_t> tail) {
    std::size_t pos = tail.size();
    while (pos > 0 && tail[pos - 1] != kTerminator) --pos;
    if (pos <= 1) return std::nullopt;  // no 0xFF, or only as the tail's first byte
    IndexLength found{0, static_cast<int64_t>(tail.size() - pos)};
    for (int64_t i = 0; i < found.digitCount; ++i) {
        if (!AddDigit(found.indexLength, tail[pos + i], i)) return std::nullopt;
    }
    return found;
}

IndexParser::Step IndexParser::Next(std::span<const uint8_t>& in, int32_t& size) {
    std::size_t i = 0;
    for (; i < in.size(); ++i) {
        if (in[i] == kTerminator) {
            size = static_cast<int32_t>(size_);
            size_ = position_ = 0;
            in = in.subspan(i + 1);
            return Step::kRecord;
        }
        if (!AddDigit(size_, in[i], position_++)) {
            in = in.subspan(i + 1);
            return Step::kOverflow;
        }
    }
    in = {};
    return Step::kNeedMore;
}

int64_t IndexParser::SkipEmptyRecords(std::span<const uint8_t>& in) {
    if (size_ != 0 || position_ != 0) return 0;
    std::size_t i = 0;
    // Eight bytes at a time through the long runs.
    for (uint64_t word = 0; i + sizeof word <= in.size(); i += sizeof word) {
        std::memcpy(&word, in.data() + i, sizeof word);
        if (word != ~uint64_t{0}) break;
    }
    while (i < in.size() && in[i] == kTerminator) ++i;
    in = in.subspan(i);
    return static_cast<int64_t>(i);
}

std::optional<std::vector<int32_t>> ParseIndex(std::span<const uint8_t> index) {
    std::vector<int32_t> sizes;
    if (index.empty()) return sizes;
    IndexParser parser;
    // The last byte closes the last record whatever its value, as the format's reader does.
    std::span<const uint8_t> rest = index.first(index.size() - 1);
    for (int32_t size = 0;;) {
        const IndexParser::Step step = parser.Next(rest, size);
        if (step == IndexParser::Step::kOverflow) return std::nullopt;
        if (step == IndexParser::Step::kRecord) {
            sizes.push_back(size);
            continue;
        }
        const uint8_t terminator = kTerminator;
        std::span<const uint8_t> close(&terminator, 1);
        parser.Next(close, size);
        sizes.push_back(size);
        return sizes;
    }
}

}  // namespace sealwise
