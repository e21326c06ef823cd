#pragma once
// How many worker threads the file jobs use: a count the caller forces, else the environment
// variable SEALWISE_THREADS, else one per hardware thread. Never less than 1.
namespace sealwise {

constexpr int kMaxWorkerThreads = 64;

// requested > 0 forces that count (capped at kMaxWorkerThreads); 0 asks for the default.
int ResolveThreadCount(int requested = 0);

}  // namespace sealwise
