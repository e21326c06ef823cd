#pragma once
// The platform progress indicator that a ProgressBar drives: one call per setting, so that the
// control's rules (skip unchanged values, the 16-bit range fallback) can be checked against a
// recording double. Colours arrive as saved colour values; the indicator translates them.
#include <cstdint>
#include <memory>

#include "gui/controls/ole_color.h"

namespace sealwise::gui {

class ProgressChild {
  public:
    virtual ~ProgressChild() = default;

    virtual void SetPosition(int32_t position) = 0;
    virtual int32_t Position() const = 0;
    virtual void SetStep(int32_t step) = 0;
    // Advances by the step; past the maximum the indicator starts over from the minimum.
    virtual void StepIt() = 0;
    virtual void SetRange32(int32_t minimum, int32_t maximum) = 0;
    // The limit in force: the lower one when `lower`, else the upper one.
    virtual int32_t RangeLimit(bool lower) const = 0;
    // Older indicators take only 16-bit limits.
    virtual void SetRange16(uint16_t minimum, uint16_t maximum) = 0;
    virtual void SetBarColor(OleColor color) = 0;
    virtual void SetBackColor(OleColor color) = 0;
    // 0 none, 1 thin edge, 2 sunken edge.
    virtual void SetBorderStyle(int32_t style) = 0;
};

class ProgressChildFactory {
  public:
    virtual ~ProgressChildFactory() = default;
    // A new indicator, or nullptr when none can be made.
    virtual std::unique_ptr<ProgressChild> Create(bool vertical, bool smooth) = 0;
};

}  // namespace sealwise::gui
