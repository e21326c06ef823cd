#pragma once
// The progress indicator of a ProgressBar on this platform: a QProgressBar filling the control.
// The control's frame shows the border; the bar's style sheet shows colours and segments.
#include <QPointer>
#include <QProgressBar>

#include "gui/controls/progress_child.h"

class QFrame;

namespace sealwise::gui {

class QtProgressChild : public ProgressChild {
  public:
    // The bar becomes a child of `owner`; `owner`'s frame draws the border.
    QtProgressChild(QFrame* owner, bool vertical, bool smooth);
    ~QtProgressChild() override;

    QProgressBar* Bar() const { return bar_; }

    void SetPosition(int32_t position) override;
    int32_t Position() const override;
    void SetStep(int32_t step) override { step_ = step; }
    void StepIt() override;
    void SetRange32(int32_t minimum, int32_t maximum) override;
    int32_t RangeLimit(bool lower) const override;
    void SetRange16(uint16_t minimum, uint16_t maximum) override;
    void SetBarColor(OleColor color) override;
    void SetBackColor(OleColor color) override;
    void SetBorderStyle(int32_t style) override;

  private:
    void ApplyStyleSheet();

    QFrame* owner_;
    QPointer<QProgressBar> bar_;
    bool smooth_;
    int32_t step_ = 10;
    OleColor barColor_ = kSysHighlight;
    OleColor backColor_ = kSysButtonFace;
};

class QtProgressChildFactory : public ProgressChildFactory {
  public:
    explicit QtProgressChildFactory(QFrame* owner) : owner_(owner) {}
    std::unique_ptr<ProgressChild> Create(bool vertical, bool smooth) override {
        return std::make_unique<QtProgressChild>(owner_, vertical, smooth);
    }

  private:
    QFrame* owner_;
};

}  // namespace sealwise::gui
