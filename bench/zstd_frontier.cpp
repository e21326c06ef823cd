// How fast zstd can be while keeping the modern container no larger than the classic one:
// splits every file of the given text and binary directories into the modern format's 2 MiB
// pieces, packs them with libdeflate at the classic format's level 6 and with a grid of zstd
// match-finder settings, and prints, for each way of choosing one setting for text and one
// for binaries whose total size stays within deflate's, the zstd time as a share of deflate's.
// Times are the fastest of the repetitions, all on this thread. Last, the pair Sealwise uses
// and zstd's own level 3.
//   zstd_frontier [--reps N] --text DIR... --binary DIR...
#include <libdeflate.h>
#include <zstd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "modern/records.h"

namespace {

using Piece = std::vector<unsigned char>;
using sealwise::modern::kPieceSize;

struct Measure {
    std::size_t bytes = 0;
    double ms = 0;
};

using Setting = sealwise::modern::MatchFinder;

void LoadPieces(const std::string& dir, std::vector<Piece>& pieces) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const Piece data((std::istreambuf_iterator<char>(in)), {});
        for (std::size_t at = 0; at < data.size(); at += kPieceSize) {
            const auto end =
                data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), at + kPieceSize));
            pieces.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(at), end);
        }
    }
}

// Stored when packing does not shrink a piece, as both formats do.
template <class Pack>
Measure Fastest(const std::vector<Piece>& pieces, int reps, Pack pack) {
    Piece out(ZSTD_compressBound(kPieceSize) + 1024);
    Measure best{0, 1e300};
    for (int r = 0; r < reps; ++r) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t total = 0;
        for (const Piece& piece : pieces) {
            const std::size_t n = pack(piece, out);
            total += n != 0 && n < piece.size() ? n : piece.size();
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        best = {total, std::min(best.ms, ms)};
    }
    return best;
}

Measure Deflate(const std::vector<Piece>& pieces, int reps) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(6);
    const Measure m = Fastest(pieces, reps, [c](const Piece& in, Piece& out) {
        return libdeflate_zlib_compress(c, in.data(), in.size(), out.data(), out.size());
    });
    libdeflate_free_compressor(c);
    return m;
}

Measure Zstd(const std::vector<Piece>& pieces, int reps, const Setting& s) {
    ZSTD_CCtx* c = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(c, ZSTD_c_compressionLevel, 3);
    sealwise::modern::SetMatchFinder(c, s);
    ZSTD_CCtx_setParameter(c, ZSTD_c_contentSizeFlag, 0);
    const Measure m = Fastest(pieces, reps, [c](const Piece& in, Piece& out) -> std::size_t {
        const std::size_t n = ZSTD_compress2(c, out.data(), out.size(), in.data(), in.size());
        return ZSTD_isError(n) ? 0 : n;
    });
    ZSTD_freeCCtx(c);
    return m;
}

std::string Describe(const Setting& s) {
    static const char* const kNames[] = {"", "fast", "dfast", "greedy", "lazy", "lazy2"};
    char text[64];
    std::snprintf(text, sizeof text, "%s/mm%d/sl%d/hl%d", kNames[s.strategy], s.minMatch,
                  s.searchLog, s.hashLog);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Piece> text, binary;
    std::vector<Piece>* into = nullptr;
    int reps = 2;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--text"))
            into = &text;
        else if (!std::strcmp(argv[i], "--binary"))
            into = &binary;
        else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc)
            reps = std::atoi(argv[++i]);
        else if (into)
            LoadPieces(argv[i], *into);
    }
    if (text.empty() || binary.empty() || reps < 1) {
        std::fprintf(stderr, "usage: zstd_frontier [--reps N] --text DIR... --binary DIR...\n");
        return 2;
    }
    const Measure deflateText = Deflate(text, reps), deflateBinary = Deflate(binary, reps);
    const std::size_t budget = deflateText.bytes + deflateBinary.bytes;

    std::vector<Setting> grid;
    for (const ZSTD_strategy strategy : {ZSTD_dfast, ZSTD_greedy, ZSTD_lazy, ZSTD_lazy2})
        for (int minMatch = 4; minMatch <= 6; ++minMatch)
            for (int searchLog = 1; searchLog <= (strategy == ZSTD_dfast ? 1 : 5); ++searchLog)
                for (int hashLog = 15; hashLog <= 18; ++hashLog)
                    grid.push_back({strategy, minMatch, searchLog, hashLog, 8});
    std::vector<Measure> onText, onBinary;
    for (const Setting& s : grid) {
        onText.push_back(Zstd(text, reps, s));
        onBinary.push_back(Zstd(binary, reps, s));
    }

    const Measure text3 = Zstd(text, reps, sealwise::modern::kTextMatchFinder);
    const Measure binary3 = Zstd(binary, reps, sealwise::modern::kBinaryMatchFinder);
    const Setting plain{};  // zeros: zstd's own settings for level 3
    const Measure textPlain = Zstd(text, reps, plain), binaryPlain = Zstd(binary, reps, plain);
    // deflate once more at the end: the faster of the two is its time on a quiet machine, as
    // the fastest repetition is for each setting.
    const double deflateMs = std::min(deflateText.ms + deflateBinary.ms,
                                      Deflate(text, reps).ms + Deflate(binary, reps).ms);
    std::printf("deflate level 6: text %zu B, binaries %zu B, %.0f ms\n", deflateText.bytes,
                deflateBinary.bytes, deflateMs);

    struct Pair {
        double ms;
        std::size_t bytes, t, b;
    };
    std::vector<Pair> fitting;
    for (std::size_t t = 0; t < grid.size(); ++t)
        for (std::size_t b = 0; b < grid.size(); ++b) {
            const std::size_t bytes = onText[t].bytes + onBinary[b].bytes;
            if (bytes <= budget) fitting.push_back({onText[t].ms + onBinary[b].ms, bytes, t, b});
        }
    std::sort(fitting.begin(), fitting.end(),
              [](const Pair& x, const Pair& y) { return x.ms < y.ms; });
    std::printf("%zu of %zu pairs stay within deflate's size; the fastest:\n", fitting.size(),
                grid.size() * grid.size());
    for (std::size_t i = 0; i < std::min<std::size_t>(fitting.size(), 10); ++i) {
        const Pair& p = fitting[i];
        std::printf("  %.2f of deflate's time, %.4f of its size: text %s, binaries %s\n",
                    p.ms / deflateMs, static_cast<double>(p.bytes) / static_cast<double>(budget),
                    Describe(grid[p.t]).c_str(), Describe(grid[p.b]).c_str());
    }
    const auto show = [&](const char* what, const Measure& t, const Measure& b) {
        std::printf("%s: %.2f of deflate's time, %.4f of its size\n", what,
                    (t.ms + b.ms) / deflateMs,
                    static_cast<double>(t.bytes + b.bytes) / static_cast<double>(budget));
    };
    show("Sealwise at level 3", text3, binary3);
    show("zstd's own level 3", textPlain, binaryPlain);
    return 0;
}
