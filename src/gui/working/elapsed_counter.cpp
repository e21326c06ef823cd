#include "gui/working/elapsed_counter.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace sealwise::gui {

ElapsedCounter::ElapsedCounter(Clock clock) : clock_(std::move(clock)) {}

void ElapsedCounter::Tick(bool timerRunning) {
    const auto now = static_cast<int32_t>(std::nearbyint(clock_()));
    if (!timerRunning) {
        start_ = now;
        digits_ = {0, 0, 0, 0};
        lastMinute_ = 0;
        return;
    }
    int32_t seconds = now - start_;
    if (seconds < 0) {  // midnight has passed since the start
        start_ -= kSecondsPerDay;
        seconds = now - start_;
    }
    const int s = seconds % 60;
    const auto m = static_cast<int16_t>((seconds / 60) % 100);
    digits_[3] = s % 10;
    digits_[2] = s / 10;
    if (m != lastMinute_) {
        lastMinute_ = m;
        digits_[1] = m % 10;
        digits_[0] = m / 10;
    }
}

double ElapsedCounter::SystemClock() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t wall = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&wall, &local);
    const double fraction =
        duration<double>(now.time_since_epoch()).count() - static_cast<double>(wall);
    return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction;
}

}  // namespace sealwise::gui
