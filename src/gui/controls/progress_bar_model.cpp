#include "gui/controls/progress_bar_model.h"

#include <limits>

#include "gui/controls/property_bag.h"

namespace sealwise::gui {

namespace {

int32_t AddHeld(int32_t value, int32_t step) {
    const int64_t sum = static_cast<int64_t>(value) + step;
    if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(sum);
}

int32_t ToInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// Saved-layout defaults.
constexpr int32_t kSavedBorderStyle = 1;
constexpr bool kSavedSmooth = false;
constexpr int32_t kSavedOrientation = 0;
constexpr OleColor kSavedForeColor = kSysHighlight;
constexpr OleColor kSavedBackColor = kSysButtonFace;
constexpr int32_t kSavedMin = 0;
constexpr int32_t kSavedMax = 100;
constexpr int32_t kSavedStep = 1;

}  // namespace

ProgressBarModel::ProgressBarModel(ProgressChildFactory* factory) : factory_(factory) {}

void ProgressBarModel::InitNewInstance(OleColor ambientBackColor) {
    smooth_ = false;
    orientation_ = kHorizontal;
    CreateChild();
    SetBorderStyle(1);
    backColor_ = ambientBackColor;  // stored only, like the designer does
}

void ProgressBarModel::SetMin(int32_t lMin) {
    if (lMin == min_) return;
    min_ = lMin;
    ApplyRange();
}

void ProgressBarModel::SetMax(int32_t lMax) {
    if (lMax == max_) return;
    max_ = lMax;
    ApplyRange();
}

void ProgressBarModel::SetPosition(int32_t lPos) {
    if (lPos == position_) return;
    position_ = lPos;
    if (child_) child_->SetPosition(position_);
}

void ProgressBarModel::SetStep(int32_t lStep) {
    if (lStep == step_) return;
    step_ = lStep;
    if (child_) child_->SetStep(step_);
}

void ProgressBarModel::SetSmooth(bool bSmooth) {
    if (bSmooth == smooth_) return;
    smooth_ = bSmooth;
    if (child_) CreateChild();
}

void ProgressBarModel::SetOrientation(int32_t eOrientation) {
    if (eOrientation == orientation_) return;
    orientation_ = eOrientation;
    if (child_) CreateChild();
}

void ProgressBarModel::SetBorderStyle(int32_t eBorderStyle) {
    if (eBorderStyle == borderStyle_) return;
    borderStyle_ = eBorderStyle;
    if (child_) child_->SetBorderStyle(borderStyle_);
}

void ProgressBarModel::SetForeColor(OleColor oNewForeColor) {
    if (oNewForeColor == foreColor_) return;
    foreColor_ = oNewForeColor;
    if (child_) child_->SetBarColor(foreColor_);
}

void ProgressBarModel::SetBackColor(OleColor oNewBackColor) {
    if (oNewBackColor == backColor_) return;
    backColor_ = oNewBackColor;
    if (child_) child_->SetBackColor(backColor_);
}

void ProgressBarModel::StepIt() {
    if (child_) {
        child_->StepIt();
        position_ = child_->Position();  // keep the stored value in line with what is shown
    } else {
        position_ = AddHeld(position_, step_);
    }
}

void ProgressBarModel::ApplyRange() {
    if (!child_) return;
    child_->SetRange32(min_, max_);
    if (child_->RangeLimit(false) == max_ && child_->RangeLimit(true) == min_) return;
    child_->SetRange16(static_cast<uint16_t>(min_ & 0xFFFF), static_cast<uint16_t>(max_ & 0xFFFF));
}

void ProgressBarModel::CreateChild() {
    DestroyChild();
    if (!factory_) return;
    child_ = factory_->Create(orientation_ == kVertical, smooth_);
    if (child_) ApplyAll();
}

// A new indicator knows nothing of the settings: range, step, position, border and colours
// all go to it, so re-creating it (orientation, smooth) keeps what the user saw.
void ProgressBarModel::ApplyAll() {
    ApplyRange();
    child_->SetStep(step_);
    child_->SetPosition(position_);
    child_->SetBorderStyle(borderStyle_);
    child_->SetBackColor(backColor_);
    child_->SetBarColor(foreColor_);
}

void ProgressBarModel::DestroyChild() { child_.reset(); }

void ProgressBarModel::Save(PropertyBag& bag) const {
    bag.WriteInt("BorderStyle", borderStyle_, kSavedBorderStyle);
    bag.WriteBool("Smooth", smooth_, kSavedSmooth);
    bag.WriteInt("Orientation", orientation_, kSavedOrientation);
    bag.WriteInt("ForeColor", foreColor_, kSavedForeColor);
    bag.WriteInt("BackColor", backColor_, kSavedBackColor);
    bag.WriteInt("Min", min_, kSavedMin);
    bag.WriteInt("Max", max_, kSavedMax);
    bag.WriteInt("Step", step_, kSavedStep);
}

void ProgressBarModel::Load(const PropertyBag& bag) {
    smooth_ = bag.ReadBool("Smooth", kSavedSmooth);
    orientation_ = ToInt32(bag.ReadInt("Orientation", kSavedOrientation));
    CreateChild();
    borderStyle_ = -1;  // so that the saved style is always applied
    SetBorderStyle(ToInt32(bag.ReadInt("BorderStyle", kSavedBorderStyle)));
    SetForeColor(static_cast<OleColor>(bag.ReadInt("ForeColor", kSavedForeColor)));
    SetBackColor(static_cast<OleColor>(bag.ReadInt("BackColor", kSavedBackColor)));
    SetMin(ToInt32(bag.ReadInt("Min", kSavedMin)));
    SetMax(ToInt32(bag.ReadInt("Max", kSavedMax)));
    SetStep(ToInt32(bag.ReadInt("Step", kSavedStep)));
}

}  // namespace sealwise::gui
