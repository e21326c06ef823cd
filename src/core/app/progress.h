#pragma once
// Small interfaces through which core jobs report to whoever runs them (window or terminal).
#include <cstdint>

namespace sealwise {

// A progress display with the Max / Min / Position settings of a progress bar.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void SetMax(int32_t value) = 0;
    virtual void SetMin(int32_t value) = 0;
    virtual void SetPosition(int32_t value) = 0;
};

// Lets the caller's user interface run its pending events from inside long work loops.
class PumpHook {
  public:
    virtual ~PumpHook() = default;
    virtual void Pump() = 0;
};

}  // namespace sealwise
