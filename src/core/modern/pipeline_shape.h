#pragma once
// How many worker threads the modern format's writer and reader use and how many pieces they
// keep under way. Each unit under way holds up to two pieces (plain and packed) and each worker
// its zstd contexts, so both are capped: a run through a pipe stays under 64 MiB besides the
// key derivation on any machine.
#include <algorithm>

#include "files/pipeline/thread_count.h"
#include "modern/modern_format.h"

namespace sealwise::modern {

struct PipelineShape {
    int workers = 1;
    int unitsPerWorker = 2;  // besides the one being consumed
};

// Workers beyond this add little on the memory-bound parts and cost a codec each.
constexpr int kMaxModernWorkers = 4;
// Piece buffers under way at most: units * 2 pieces.
constexpr std::size_t kMaxPieceBuffers = 10;

// requested: 0 for the default count (thread_count.h), else that count, both capped.
inline PipelineShape ModernPipelineShape(int requested = 0) {
    PipelineShape shape;
    shape.workers = std::min(ResolveThreadCount(requested), kMaxModernWorkers);
    const auto units = static_cast<int>(kMaxPieceBuffers / 2) - 1;
    shape.unitsPerWorker = std::clamp(units / shape.workers, 1, 2);
    return shape;
}

}  // namespace sealwise::modern
