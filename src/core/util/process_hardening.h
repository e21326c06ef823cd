#pragma once
// Settings every Sealwise program makes first thing in main(): passphrases and key bytes live
// in its memory, so the process must never be dumped to disk or read by another user's tools.
namespace sealwise {

// Disables core dumps (RLIMIT_CORE 0) and marks the process non-dumpable, which also keeps
// ptrace attaches of unprivileged processes out. Returns false when a setting was refused;
// the program still runs, it is only less protected.
bool HardenProcess() noexcept;

// Makes an oversized write (ulimit -f) fail with EFBIG, reported like any other write error,
// instead of killing the process with SIGXFSZ and leaving a temporary file behind.
void IgnoreFileSizeSignal() noexcept;

}  // namespace sealwise
