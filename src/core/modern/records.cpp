#include "modern/records.h"

#include <algorithm>
#include <stdexcept>

#include "modern/wire.h"
#include "util/text_codec.h"

namespace sealwise::modern {
namespace {

constexpr std::size_t kEntryFixedSize = 1 + 1 + 2 + 8 + 4 + 8 + 2;

}  // namespace

bool IsSafeEntryName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes) return false;
    if (name.find('\0') != std::string_view::npos || name.find('\\') != std::string_view::npos)
        return false;
    if (!IsValidUtf8(name)) return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = name.find('/', start);
        const std::string_view part = name.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

Bytes EncodeEntryRecord(const EntryMeta& entry) {
    Bytes out;
    EncodeEntryRecord(entry, out);
    return out;
}

void EncodeEntryRecord(const EntryMeta& entry, Bytes& out) {
    const bool link = entry.type == EntryType::kSymlink;
    out.resize(kEntryFixedSize + entry.name.size() + (link ? entry.linkTarget.size() : 0));
    uint8_t* p = out.data();
    p[0] = static_cast<uint8_t>(RecordKind::kEntry);
    p[1] = static_cast<uint8_t>(entry.type);
    StoreLe(p + 2, entry.mode & 07777, 2);
    StoreLe(p + 4, static_cast<uint64_t>(entry.mtimeSeconds), 8);
    StoreLe(p + 12, entry.mtimeNanoseconds, 4);
    StoreLe(p + 16, link ? entry.linkTarget.size() : entry.size, 8);
    StoreLe(p + 24, entry.name.size(), 2);
    std::copy(entry.name.begin(), entry.name.end(), p + kEntryFixedSize);
    if (link)
        std::copy(entry.linkTarget.begin(), entry.linkTarget.end(),
                  p + kEntryFixedSize + entry.name.size());
}

std::optional<EntryMeta> DecodeEntryRecord(std::span<const uint8_t> record) {
    if (record.size() < kEntryFixedSize || !IsRecord(record, RecordKind::kEntry)) return {};
    const uint8_t* p = record.data();
    EntryMeta entry;
    if (p[1] < 1 || p[1] > 3) return {};
    entry.type = static_cast<EntryType>(p[1]);
    entry.mode = static_cast<uint16_t>(LoadLe(p + 2, 2));
    entry.mtimeSeconds = static_cast<int64_t>(LoadLe(p + 4, 8));
    entry.mtimeNanoseconds = static_cast<uint32_t>(LoadLe(p + 12, 4));
    entry.size = LoadLe(p + 16, 8);
    const std::size_t nameBytes = LoadLe(p + 24, 2);
    if (entry.mode > 07777 || entry.mtimeNanoseconds > 999'999'999) return {};
    const std::size_t rest = record.size() - kEntryFixedSize;
    const std::size_t linkBytes = entry.type == EntryType::kSymlink ? entry.size : 0;
    if (nameBytes > rest || rest - nameBytes != linkBytes) return {};
    entry.name.assign(p + kEntryFixedSize, p + kEntryFixedSize + nameBytes);
    if (!IsSafeEntryName(entry.name)) return {};
    switch (entry.type) {
        case EntryType::kDirectory:
            if (entry.size != 0) return {};
            break;
        case EntryType::kSymlink:
            entry.linkTarget.assign(p + kEntryFixedSize + nameBytes, p + record.size());
            if (entry.linkTarget.empty() || entry.linkTarget.size() > kMaxLinkTargetBytes ||
                entry.linkTarget.find('\0') != std::string::npos)
                return {};
            break;
        case EntryType::kFile:
            break;
    }
    return entry;
}

void SetMatchFinder(ZSTD_CCtx* cctx, const MatchFinder& finder) {
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_strategy, finder.strategy);
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_minMatch, finder.minMatch);
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_searchLog, finder.searchLog);
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_hashLog, finder.hashLog);
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_targetLength, finder.targetLength);
}

namespace {

ZSTD_CCtx* MakeCompressor(int level) {
    ZSTD_CCtx* cctx = ZSTD_createCCtx();
    if (!cctx) throw std::bad_alloc();
    // No checksum or size fields of zstd's own: the stream authenticates, the record has the
    // length.
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_checksumFlag, 0);
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_contentSizeFlag, 0);
    ZSTD_CCtx_setParameter(cctx, ZSTD_c_dictIDFlag, 0);
    return cctx;
}

// Text: no NUL and hardly anything but printable ASCII, white space and UTF-8 in the first
// 4 KiB.
bool LooksLikeText(std::span<const uint8_t> piece) {
    const std::size_t n = std::min<std::size_t>(piece.size(), 4096);
    std::size_t odd = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const uint8_t b = piece[i];
        if (b == 0) return false;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') ++odd;
    }
    return odd * 50 < n;
}

}  // namespace

PieceCodec::PieceCodec(int level) : level_(level) {
    compress_ = MakeCompressor(level_);
    textCompress_ = MakeCompressor(level_);
    // At zstd's fast levels 3 to 5 the pieces came out 3 % (binaries) to 10 % (text) larger
    // than deflate makes them in the classic format, which matches strings of 3 bytes and looks
    // one step ahead. Of every pair of match-finder settings for text and for binaries that
    // keeps the benchmark tree's pieces within deflate's size, the pair in records.h is the
    // fastest (bench/zstd_frontier.sh): 0.59 of deflate's time, where level 3 as it is takes
    // 0.29 but makes them 6 % larger. zstd's row match finder (its default for these
    // strategies) keeps them that fast.
    if (level_ >= 3 && level_ <= 5) {
        SetMatchFinder(textCompress_, kTextMatchFinder);
        SetMatchFinder(compress_, kBinaryMatchFinder);
    }
    decompress_ = ZSTD_createDCtx();
    if (!decompress_) throw std::bad_alloc();
}

PieceCodec::~PieceCodec() {
    ZSTD_freeCCtx(compress_);
    ZSTD_freeCCtx(textCompress_);
    ZSTD_freeDCtx(decompress_);
}

void PieceCodec::Encode(std::span<const uint8_t> piece, Bytes& record) {
    record.resize(kDataRecordOverhead + ZSTD_compressBound(piece.size()));
    record[0] = static_cast<uint8_t>(RecordKind::kData);
    StoreLe(record.data() + 2, piece.size(), 4);
    // Random or already compressed data is stored at once: zstd would spend as long on it as
    // on text to save nothing (the scan is a single cheap pass).
    if (piece.size() < kScanThreshold || !scan_.LooksIncompressible(piece)) {
        const std::size_t packed = ZSTD_compress2(
            LooksLikeText(piece) ? textCompress_ : compress_, record.data() + kDataRecordOverhead,
            record.size() - kDataRecordOverhead, piece.data(), piece.size());
        if (!ZSTD_isError(packed) && packed < piece.size()) {
            record[1] = static_cast<uint8_t>(DataMethod::kZstd);
            record.resize(kDataRecordOverhead + packed);
            return;
        }
    }
    record[1] = static_cast<uint8_t>(DataMethod::kStored);
    record.resize(kDataRecordOverhead + piece.size());
    std::copy(piece.begin(), piece.end(), record.begin() + kDataRecordOverhead);
}

bool PieceCodec::Decode(std::span<const uint8_t> record, Bytes& piece) {
    std::span<const uint8_t> view;
    if (!Decode(record, piece, view)) return false;
    if (view.data() != piece.data()) piece.assign(view.begin(), view.end());
    return true;
}

bool PieceCodec::Decode(std::span<const uint8_t> record, Bytes& buffer,
                        std::span<const uint8_t>& piece) {
    if (record.size() < kDataRecordOverhead || !IsRecord(record, RecordKind::kData)) return false;
    const std::size_t length = LoadLe(record.data() + 2, 4);
    if (length == 0 || length > kMaxPieceSize) return false;
    const auto payload = record.subspan(kDataRecordOverhead);
    switch (static_cast<DataMethod>(record[1])) {
        case DataMethod::kStored:
            if (payload.size() != length) return false;
            piece = payload;
            return true;
        case DataMethod::kZstd: {
            // Exactly one frame that yields exactly length bytes.
            const std::size_t frame = ZSTD_findFrameCompressedSize(payload.data(), payload.size());
            if (ZSTD_isError(frame) || frame != payload.size()) return false;
            buffer.resize(length);
            const std::size_t n = ZSTD_decompressDCtx(decompress_, buffer.data(), buffer.size(),
                                                      payload.data(), payload.size());
            piece = buffer;
            return !ZSTD_isError(n) && n == length;
        }
    }
    return false;
}

Bytes EncodeEndRecord(uint64_t count) {
    Bytes out(9);
    out[0] = static_cast<uint8_t>(RecordKind::kEnd);
    StoreLe(out.data() + 1, count, 8);
    return out;
}

std::optional<uint64_t> DecodeEndRecord(std::span<const uint8_t> record) {
    if (record.size() != 9 || !IsRecord(record, RecordKind::kEnd)) return {};
    return LoadLe(record.data() + 1, 8);
}

}  // namespace sealwise::modern
