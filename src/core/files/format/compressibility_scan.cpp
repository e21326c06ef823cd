#include "files/format/compressibility_scan.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "util/secure_random.h"

namespace sealwise {
namespace {

constexpr std::size_t kSegment = 4096;      // bytes per frequency count
constexpr std::size_t kWindow = 32 * 1024;  // how far back deflate can copy from
constexpr uint64_t kSampleMask = 63;        // one position in 64 is a sample point
constexpr int kSlotBits = 12;
// Repeats that prove a piece compressible: random data yields none.
constexpr int kRepeatsNeeded = 16;

struct Tables {
    std::array<uint64_t, 256> gear;                // rolling hash of the last bytes
    std::array<double, kSegment + 1> countLog2{};  // c * log2(c)
};

const Tables& SharedTables() {
    static Tables tables;
    static std::once_flag made;
    std::call_once(made, [] {
        FillSecureRandom(reinterpret_cast<uint8_t*>(tables.gear.data()), sizeof tables.gear);
        for (std::size_t c = 1; c <= kSegment; ++c) {
            tables.countLog2[c] = static_cast<double>(c) * std::log2(static_cast<double>(c));
        }
    });
    return tables;
}

uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Bits a Huffman code could save on a segment with these byte counts: its length times 8
// minus its entropy (with the Miller-Madow correction, so that random bytes come out near 0).
double HuffmanSavingBits(const std::array<uint32_t, 256>& counts, std::size_t length,
                         const Tables& tables) {
    double sum = 0;
    int used = 0;
    for (uint32_t c : counts) {
        sum += tables.countLog2[c];
        used += c != 0 ? 1 : 0;
    }
    const double n = static_cast<double>(length);
    const double entropy = std::log2(n) - sum / n + (used - 1) / (2 * n * std::log(2.0));
    return std::max(0.0, n * (8 - entropy));
}

}  // namespace

CompressibilityScan::CompressibilityScan() : lastSeen_(std::size_t{1} << kSlotBits) {}

bool CompressibilityScan::LooksIncompressible(std::span<const uint8_t> in) {
    const Tables& tables = SharedTables();
    const uint8_t* data = in.data();
    const std::size_t n = in.size();
    const double budgetBits = static_cast<double>(n) * 8 / 100;
    std::fill(lastSeen_.begin(), lastSeen_.end(), 0);
    double savingBits = 0;
    int repeats = 0;
    uint64_t rolling = 0;
    // A sample point at i: the 4 bytes ending there, seen before within deflate's window?
    const auto sample = [&](std::size_t i) {
        const uint32_t key = Load32(data + i - 3);
        uint32_t& slot = lastSeen_[(key * 2654435761u) >> (32 - kSlotBits)];
        if (slot != 0 && i + 1 - slot <= kWindow && Load32(data + slot - 4) == key) ++repeats;
        slot = static_cast<uint32_t>(i + 1);
    };
    // One byte into the counts of table t and the rolling hash. The low bits of the hash depend
    // on the last six bytes only: a repeated string holds the same sample points as its first
    // occurrence.
    std::array<std::array<uint32_t, 256>, 4> partial;
    const auto step = [&](std::size_t i, std::size_t t) {
        const uint8_t b = data[i];
        ++partial[t][b];
        rolling = (rolling << 1) + tables.gear[b];
        return (rolling & kSampleMask) == 0;
    };
    for (std::size_t start = 0; start < n; start += kSegment) {
        const std::size_t end = std::min(n, start + kSegment);
        // Four tables, four bytes a round: consecutive equal bytes do not wait on each other's
        // increment, and the loop costs little besides the counting.
        for (auto& table : partial) table.fill(0);
        std::size_t i = start;
        for (; i < end && i < 3; ++i) step(i, i & 3);  // too early for a 4-byte sample
        for (; i + 4 <= end; i += 4) {
            if (step(i, 0)) [[unlikely]]
                sample(i);
            if (step(i + 1, 1)) [[unlikely]]
                sample(i + 1);
            if (step(i + 2, 2)) [[unlikely]]
                sample(i + 2);
            if (step(i + 3, 3)) [[unlikely]]
                sample(i + 3);
        }
        for (; i < end; ++i) {
            if (step(i, i & 3) && i >= 3) sample(i);
        }
        std::array<uint32_t, 256> counts;
        for (std::size_t v = 0; v < 256; ++v) {
            counts[v] = partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
        }
        savingBits += HuffmanSavingBits(counts, end - start, tables);
        if (repeats >= kRepeatsNeeded || savingBits >= budgetBits) return false;
    }
    return true;
}

}  // namespace sealwise
