#pragma once
// The three lamps of a traffic light (`AmpelL(0)` red at the top, `AmpelL(1)` yellow,
// `AmpelL(2)` green): the progress indicator of the working display and the passphrase rating.
#include <cstdint>

namespace sealwise {

struct LampState {
    bool red = false;
    bool yellow = false;
    bool green = false;
    friend bool operator==(const LampState&, const LampState&) = default;
};

// How a job starts (red) and ends (green).
inline constexpr LampState kLampsAtStart{true, false, false};
inline constexpr LampState kLampsAtEnd{false, false, true};

// Progress p of t: from a quarter on yellow lights, from half way red goes out, from three
// quarters on green lights. Lamps are only switched on or off by reaching a mark, never back.
void UpdateLamps(LampState& lamps, int64_t p, int64_t t);

}  // namespace sealwise
