#pragma once
// The elapsed-time counter of a running job: minutes and seconds as four digits (mm:ss),
// counting from the moment it was reset, across midnight, wrapping after 99:59.
#include <array>
#include <cstdint>
#include <functional>

namespace sealwise::gui {

class ElapsedCounter {
  public:
    // Time of day in seconds since midnight, with fraction.
    using Clock = std::function<double()>;
    static constexpr int kSecondsPerDay = 86400;

    explicit ElapsedCounter(Clock clock = SystemClock);

    // One tick. While the timer is not running the tick resets the counter to 00:00 at the
    // current time; while it runs the digits show the time since that reset.
    void Tick(bool timerRunning);

    // Tens of minutes, minutes, tens of seconds, seconds.
    const std::array<int, 4>& Digits() const { return digits_; }

    static double SystemClock();

  private:
    Clock clock_;
    int32_t start_ = 0;
    int16_t lastMinute_ = 0;
    std::array<int, 4> digits_{0, 0, 0, 0};
};

}  // namespace sealwise::gui
