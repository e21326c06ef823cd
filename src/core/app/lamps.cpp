#include "app/lamps.h"

namespace sealwise {

void UpdateLamps(LampState& lamps, int64_t p, int64_t t) {
    if (p < t / 4) return;
    lamps.yellow = true;
    if (p < t / 2) return;
    lamps.red = false;
    if (4 * p >= 3 * t) lamps.green = true;
}

}  // namespace sealwise
