#pragma once
// Overwrites secrets (passphrases, key strings, key bytes) in a way the compiler keeps.
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace sealwise {

void SecureWipe(void* data, std::size_t size) noexcept;

template <typename T>
requires std::is_trivially_copyable_v<T>
void SecureWipe(std::vector<T>& v) noexcept {
    SecureWipe(v.data(), v.size() * sizeof(T));
    v.clear();
}

// A list of secrets (candidate keys): each one is wiped.
template <typename T>
void SecureWipe(std::vector<std::vector<T>>& list) noexcept {
    for (std::vector<T>& item : list) SecureWipe(item);
    list.clear();
}

inline void SecureWipe(std::string& s) noexcept {
    SecureWipe(s.data(), s.size());
    s.clear();
}

// Appends c to a secret; when the buffer must grow, the old one is wiped before it is freed, so
// no copy of the secret stays behind in freed memory.
void AppendSecret(std::string& secret, char c);

// Holds a secret and wipes it when it goes out of scope, however the scope is left.
template <typename Container>
class WipeOnExit {
  public:
    explicit WipeOnExit(Container& c) noexcept : c_(c) {}
    ~WipeOnExit() { SecureWipe(c_); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

  private:
    Container& c_;
};

}  // namespace sealwise
