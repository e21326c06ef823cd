#include "util/sample_data.h"

#include <iterator>
#include <random>
#include <string>

namespace sealwise {

Bytes SampleNoise(std::size_t size, uint64_t seed) {
    std::mt19937_64 rng(seed);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

Bytes SampleLogText(std::size_t size) {
    static constexpr const char* kWords[] = {
        "request", "served",  "from",  "cache", "user",   "login",  "failed", "retry",
        "worker",  "started", "queue", "depth", "upload", "bytes",  "in",     "ms",
        "the",     "of",      "and",   "disk",  "write",  "opened", "closed", "session"};
    std::mt19937_64 rng(7);
    std::string text;
    while (text.size() < size) {
        text += "2026-12-08T01:" + std::to_string(10 + rng() % 50) + ":" +
                std::to_string(10 + rng() % 50) + " INFO ";
        for (int w = 0; w < 8; ++w) {
            text += kWords[rng() % std::size(kWords)];
            text += ' ';
        }
        text += "id=" + std::to_string(rng() % 100000) + "\n";
    }
    return Bytes(text.begin(), text.begin() + static_cast<long>(size));
}

}  // namespace sealwise
