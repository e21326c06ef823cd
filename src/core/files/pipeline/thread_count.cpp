#include "files/pipeline/thread_count.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace sealwise {

int ResolveThreadCount(int requested) {
    if (requested > 0) return std::min(requested, kMaxWorkerThreads);
    if (const char* env = std::getenv("SEALWISE_THREADS")) {
        int value = 0;
        const char* end = env + std::strlen(env);
        const auto [ptr, ec] = std::from_chars(env, end, value);
        // A malformed value is ignored rather than trusted.
        if (ec == std::errc() && ptr == end && value > 0) return std::min(value, kMaxWorkerThreads);
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(hardware), 1, kMaxWorkerThreads);
}

}  // namespace sealwise
