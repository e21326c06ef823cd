#pragma once
// The byte layout of the modern format (docs/format-modern.md): the fixed header, the limits a
// reader enforces and the record kinds inside the authenticated messages.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "util/bytes.h"

namespace sealwise::modern {

constexpr std::array<uint8_t, 8> kMagic = {'S', 'E', 'A', 'L', 'W', 'I', 'S', 'E'};
constexpr uint8_t kVersion = 1;
constexpr uint8_t kArgon2id13 = 2;
constexpr std::size_t kSaltSize = 16;
constexpr std::size_t kKeyCheckSize = 16;
constexpr std::size_t kStreamHeaderSize = 24;
constexpr std::size_t kChecksumSize = 16;
constexpr std::size_t kHeaderSize = 100;
constexpr std::size_t kChecksummedSize = kHeaderSize - kChecksumSize;

enum class Content : uint8_t { kFiles = 1, kText = 2 };

enum class RecordKind : uint8_t { kStart = 1, kEntry = 2, kData = 3, kEnd = 4 };
enum class DataMethod : uint8_t { kStored = 0, kZstd = 1 };

// Pieces: what writers cut files into, and the most a reader accepts in one data record.
constexpr std::size_t kPieceSize = 2 << 20;
constexpr std::size_t kMaxPieceSize = 4 << 20;
constexpr std::size_t kDataRecordOverhead = 6;  // kind, method, u32 length
constexpr std::size_t kAuthBytes = 17;          // crypto_secretstream_xchacha20poly1305_ABYTES
constexpr std::size_t kMaxMessageSize = kAuthBytes + kDataRecordOverhead + kMaxPieceSize;

// Key derivation costs: what writers use by default and what readers accept. The default is
// libsodium's "moderate" profile: about half a second and 256 MiB per guess on a two-core
// machine, where 64 MiB and 3 passes took a tenth of a second.
struct KdfCost {
    uint64_t ops = 3;
    uint64_t memory = 256ull << 20;
    friend bool operator==(const KdfCost&, const KdfCost&) = default;
};
constexpr KdfCost kDefaultKdfCost{};
constexpr uint64_t kMinKdfOps = 1, kMaxKdfOps = 100;
constexpr uint64_t kMinKdfMemory = 8192, kMaxKdfMemory = 4ull << 30;
bool KdfCostAccepted(const KdfCost& cost);

constexpr int kMaxKeys = 10;

struct Header {
    Content content = Content::kFiles;
    uint8_t keyCount = 1;
    KdfCost cost;
    std::array<uint8_t, kSaltSize> salt{};
    std::array<uint8_t, kKeyCheckSize> keyCheck{};
    std::array<uint8_t, kStreamHeaderSize> streamHeader{};
};

// The 100 header bytes, checksum included.
std::array<uint8_t, kHeaderSize> EncodeHeader(const Header& header);

enum class HeaderProblem { kNone, kNotModern, kDamaged, kUnsupported };

struct ParsedHeader {
    HeaderProblem problem = HeaderProblem::kNone;
    Header header;
};

// Judges the first bytes of a container: not the magic, damaged (checksum), unsupported
// (version, content, key count or costs outside what is accepted), or a usable header.
ParsedHeader ParseHeader(std::span<const uint8_t, kHeaderSize> bytes);

// Whether the bytes start like a modern container (the magic); a classic one never does.
bool StartsWithMagic(std::span<const uint8_t> bytes);

}  // namespace sealwise::modern
