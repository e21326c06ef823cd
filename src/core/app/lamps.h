#pragma once
// The three lamps of a traffic light (`AmpelL(0)` red at the top, `AmpelL(1)` yellow,
// `AmpelL(2)` green), as the passphrase rating lights them.
#include <cstdint>

namespace sealwise {

struct LampState {
    bool red = false;
    bool yellow = false;
    bool green = false;
    friend bool operator==(const LampState&, const LampState&) = default;
};

}  // namespace sealwise
