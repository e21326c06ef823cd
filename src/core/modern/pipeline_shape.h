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

inline PipelineShape ShapeForWorkers(int workers) {
    PipelineShape shape;
    shape.workers = std::clamp(workers, 1, kMaxModernWorkers);
    const auto units = static_cast<int>(kMaxPieceBuffers / 2) - 1;
    shape.unitsPerWorker = std::clamp(units / shape.workers, 1, 2);
    return shape;
}

// Writing: compressing is the heavy part, so every thread (requested: 0 for the default
// count of thread_count.h) compresses.
inline PipelineShape ModernPipelineShape(int requested = 0) {
    return ShapeForWorkers(ResolveThreadCount(requested));
}

// Reading: the caller's thread opens every message and a thread of the restore writes the
// files (restore_writer.h), and a piece decompresses in about the time it takes to open and
// write it, so handing pieces to workers pays only with threads to spare besides those; with
// fewer than three (two on the benchmark machine measured slower than one), one worker runs
// on the caller's thread.
inline PipelineShape ModernReaderShape(int requested = 0) {
    const int threads = ResolveThreadCount(requested);
    return ShapeForWorkers(threads < 3 ? 1 : threads - 1);
}

}  // namespace sealwise::modern
