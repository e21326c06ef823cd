#pragma once
// The three-lamp progress indicator: red while a run starts, yellow from a quarter, red off
// from half way, green from three quarters; green alone at the end.
#include <cstdint>

namespace sealwise::gui {

struct ProgressLamps {
    bool red = true;
    bool yellow = false;
    bool green = false;
    bool operator==(const ProgressLamps&) const = default;
};

constexpr ProgressLamps kLampsAtStart{true, false, false};
constexpr ProgressLamps kLampsAtEnd{false, false, true};

// The lamps after progress p of t. The rule only switches lamps on the way forward; lamps it
// does not reach keep their state.
constexpr ProgressLamps UpdateLamps(ProgressLamps lamps, int64_t p, int64_t t) {
    if (p >= t / 4) {
        lamps.yellow = true;
        if (p >= t / 2) {
            lamps.red = false;
            if (4 * p >= 3 * t) lamps.green = true;
        }
    }
    return lamps;
}

}  // namespace sealwise::gui
