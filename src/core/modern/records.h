#pragma once
// The records inside the messages of a modern container: entry metadata, data pieces (zstd or
// stored) and the end record (docs/format-modern.md, 3 and 4).
#include <zstd.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "files/format/compressibility_scan.h"
#include "modern/modern_format.h"

namespace sealwise::modern {

enum class EntryType : uint8_t { kFile = 1, kDirectory = 2, kSymlink = 3 };

struct EntryMeta {
    EntryType type = EntryType::kFile;
    uint16_t mode = 0644;  // permission bits
    int64_t mtimeSeconds = 0;
    uint32_t mtimeNanoseconds = 0;
    uint64_t size = 0;  // file bytes; link target bytes; 0 for a directory
    std::string name;   // relative, "/" between components
    std::string linkTarget;
    friend bool operator==(const EntryMeta&, const EntryMeta&) = default;
};

constexpr std::size_t kMaxNameBytes = 4096;
constexpr std::size_t kMaxLinkTargetBytes = 4096;

// A relative UTF-8 path without empty, "." or ".." components, NUL or "\".
bool IsSafeEntryName(std::string_view name);

Bytes EncodeEntryRecord(const EntryMeta& entry);
// The same into out, whose room is kept for the next use.
void EncodeEntryRecord(const EntryMeta& entry, Bytes& out);
// nullopt when the record breaks a rule of the format.
std::optional<EntryMeta> DecodeEntryRecord(std::span<const uint8_t> record);

// Compresses and decompresses data records; one per thread.
// The zstd match finder PieceCodec uses for text and for other data at levels 3 to 5, where
// zstd's own settings pack this data a few percent larger than deflate in the classic format
// (bench/zstd_frontier.sh compares the choices).
struct MatchFinder {
    ZSTD_strategy strategy;
    int minMatch, searchLog, hashLog, targetLength;  // 0: zstd's own for the level
};
inline constexpr MatchFinder kTextMatchFinder{ZSTD_greedy, 6, 4, 15, 8};
inline constexpr MatchFinder kBinaryMatchFinder{ZSTD_lazy, 4, 2, 18, 8};
// Gives cctx these settings on top of its level.
void SetMatchFinder(ZSTD_CCtx* cctx, const MatchFinder& finder);

class PieceCodec {
  public:
    explicit PieceCodec(int level = 3);
    ~PieceCodec();
    PieceCodec(const PieceCodec&) = delete;
    PieceCodec& operator=(const PieceCodec&) = delete;

    // The data record of piece (1 to kMaxPieceSize bytes): zstd, or stored when compression
    // does not make it smaller or a scan finds nothing zstd could gain on. At levels 3 to 5,
    // text and other data each get match-finder settings of their own.
    void Encode(std::span<const uint8_t> piece, Bytes& record);
    // The piece a data record holds; false when the record breaks a rule of the format.
    bool Decode(std::span<const uint8_t> record, Bytes& piece);
    // The same without copying a stored piece: piece then points into record, else into
    // buffer.
    bool Decode(std::span<const uint8_t> record, Bytes& buffer, std::span<const uint8_t>& piece);

  private:
    // Pieces below this are always compressed: the scan would cost more than it saves.
    static constexpr std::size_t kScanThreshold = 64 * 1024;

    ZSTD_CCtx* compress_ = nullptr;      // binaries and anything else
    ZSTD_CCtx* textCompress_ = nullptr;  // pieces that look like text
    ZSTD_DCtx* decompress_ = nullptr;
    int level_;
    CompressibilityScan scan_;
};

Bytes EncodeEndRecord(uint64_t count);
std::optional<uint64_t> DecodeEndRecord(std::span<const uint8_t> record);

inline bool IsRecord(std::span<const uint8_t> record, RecordKind kind) {
    return !record.empty() && record[0] == static_cast<uint8_t>(kind);
}

}  // namespace sealwise::modern
