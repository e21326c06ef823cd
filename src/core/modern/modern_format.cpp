#include "modern/modern_format.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

#include "modern/wire.h"

namespace sealwise::modern {

bool KdfCostAccepted(const KdfCost& cost) {
    return cost.ops >= kMinKdfOps && cost.ops <= kMaxKdfOps && cost.memory >= kMinKdfMemory &&
           cost.memory <= kMaxKdfMemory && cost.memory % 1024 == 0;
}

namespace {

std::array<uint8_t, kChecksumSize> Checksum(const uint8_t* bytes) {
    std::array<uint8_t, kChecksumSize> sum{};
    crypto_generichash(sum.data(), sum.size(), bytes, kChecksummedSize, nullptr, 0);
    return sum;
}

}  // namespace

std::array<uint8_t, kHeaderSize> EncodeHeader(const Header& header) {
    std::array<uint8_t, kHeaderSize> out{};
    std::copy(kMagic.begin(), kMagic.end(), out.begin());
    out[8] = kVersion;
    out[9] = static_cast<uint8_t>(header.content);
    out[10] = header.keyCount;
    out[11] = kArgon2id13;
    StoreLe(out.data() + 12, header.cost.ops, 8);
    StoreLe(out.data() + 20, header.cost.memory, 8);
    std::copy(header.salt.begin(), header.salt.end(), out.begin() + 28);
    std::copy(header.keyCheck.begin(), header.keyCheck.end(), out.begin() + 44);
    std::copy(header.streamHeader.begin(), header.streamHeader.end(), out.begin() + 60);
    const auto sum = Checksum(out.data());
    std::copy(sum.begin(), sum.end(), out.begin() + kChecksummedSize);
    return out;
}

bool StartsWithMagic(std::span<const uint8_t> bytes) {
    return bytes.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), bytes.begin());
}

ParsedHeader ParseHeader(std::span<const uint8_t, kHeaderSize> bytes) {
    ParsedHeader parsed;
    if (!StartsWithMagic(bytes)) {
        parsed.problem = HeaderProblem::kNotModern;
        return parsed;
    }
    const auto sum = Checksum(bytes.data());
    if (sodium_memcmp(sum.data(), bytes.data() + kChecksummedSize, kChecksumSize) != 0) {
        parsed.problem = HeaderProblem::kDamaged;
        return parsed;
    }
    Header& h = parsed.header;
    h.content = static_cast<Content>(bytes[9]);
    h.keyCount = bytes[10];
    h.cost.ops = LoadLe(bytes.data() + 12, 8);
    h.cost.memory = LoadLe(bytes.data() + 20, 8);
    std::copy_n(bytes.begin() + 28, kSaltSize, h.salt.begin());
    std::copy_n(bytes.begin() + 44, kKeyCheckSize, h.keyCheck.begin());
    std::copy_n(bytes.begin() + 60, kStreamHeaderSize, h.streamHeader.begin());
    const bool known = bytes[8] == kVersion && bytes[11] == kArgon2id13 &&
                       (bytes[9] == 1 || bytes[9] == 2) && h.keyCount >= 1 &&
                       h.keyCount <= kMaxKeys && KdfCostAccepted(h.cost);
    if (!known) parsed.problem = HeaderProblem::kUnsupported;
    return parsed;
}

}  // namespace sealwise::modern
