#pragma once
// The settings of a ProgressBar and the rules that pass them on to its indicator: a writer
// that gets the stored value does nothing; otherwise it stores the value and applies it when
// an indicator exists. Without an indicator the values are only stored.
#include <cstdint>
#include <memory>

#include "gui/controls/ole_color.h"
#include "gui/controls/progress_child.h"

namespace sealwise::gui {

class PropertyBag;

class ProgressBarModel {
  public:
    static constexpr int32_t kHorizontal = 0;
    static constexpr int32_t kVertical = 1;

    // factory may be null: the control then never has an indicator.
    explicit ProgressBarModel(ProgressChildFactory* factory);

    // Settings for a control newly placed on a window.
    void InitNewInstance(OleColor ambientBackColor);

    int32_t Min() const { return min_; }
    void SetMin(int32_t lMin);
    int32_t Max() const { return max_; }
    void SetMax(int32_t lMax);
    int32_t Position() const { return position_; }
    void SetPosition(int32_t lPos);
    int32_t Step() const { return step_; }
    void SetStep(int32_t lStep);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool bSmooth);
    int32_t Orientation() const { return orientation_; }
    void SetOrientation(int32_t eOrientation);
    int32_t BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int32_t eBorderStyle);
    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor oNewForeColor);
    OleColor BackColor() const { return backColor_; }
    void SetBackColor(OleColor oNewBackColor);

    // Advances the position by Step: the indicator's own way when there is one, else by adding
    // (held at the 32-bit limits).
    void StepIt();

    // (Re)creates the indicator and hands it every current setting.
    void CreateChild();
    void DestroyChild();
    ProgressChild* Child() const { return child_.get(); }

    void Save(PropertyBag& bag) const;
    void Load(const PropertyBag& bag);

  private:
    void ApplyRange();
    void ApplyAll();

    ProgressChildFactory* factory_;
    std::unique_ptr<ProgressChild> child_;
    OleColor backColor_ = kSysButtonFace;
    OleColor foreColor_ = kSysHighlight;
    bool smooth_ = false;
    int32_t orientation_ = kHorizontal;
    int32_t borderStyle_ = 1;
    int32_t position_ = 0;
    int32_t min_ = 1;
    int32_t max_ = 100;
    int32_t step_ = 1;
};

}  // namespace sealwise::gui
