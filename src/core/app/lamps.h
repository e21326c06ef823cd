#pragma once
// The three-lamp progress indicator of the working display: red, yellow and green.
#include <cstdint>

namespace sealwise {

struct LampState {
    bool red = true;
    bool yellow = false;
    bool green = false;
    bool operator==(const LampState&) const = default;
};

// How a job starts (red) and ends (green).
inline constexpr LampState kLampsAtStart{true, false, false};
inline constexpr LampState kLampsAtEnd{false, false, true};

// Progress p of t: from a quarter on yellow lights, from half way red goes out, from three
// quarters on green lights. Lamps are only switched on or off by reaching a mark, never back.
void UpdateLamps(LampState& lamps, int64_t p, int64_t t);

}  // namespace sealwise
