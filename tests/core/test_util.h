#pragma once
// Small helpers shared by the core tests.
#include <random>
#include <string>

#include "app/strings.h"
#include "util/bytes.h"

namespace sealwise::test {

// Sets the interface language for one test (or fixture) and restores the previous one after it.
class LanguageScope {
  public:
    explicit LanguageScope(int offset) : saved_(LanguageOffset()) { SetLanguageOffset(offset); }
    ~LanguageScope() { SetLanguageOffset(saved_); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

  private:
    int saved_;
};

inline Bytes FromHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

inline std::string ToHex(const Bytes& b) {
    static const char* k = "0123456789abcdef";
    std::string s;
    for (uint8_t v : b) s += {k[v >> 4], k[v & 15]};
    return s;
}

inline Bytes RandomBytes(std::mt19937& rng, std::size_t n) {
    Bytes b(n);
    for (auto& v : b) v = static_cast<uint8_t>(rng());
    return b;
}

}  // namespace sealwise::test
