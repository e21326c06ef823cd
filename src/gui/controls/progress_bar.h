#pragma once
// ProgressBar: a framed control around one progress indicator, with the settings of
// ProgressBarModel as Qt properties.
#include <QFrame>
#include <memory>

#include "gui/controls/progress_bar_model.h"

namespace sealwise::gui {

class ProgressBar : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(int Step READ Step WRITE setStep)
    Q_PROPERTY(bool Smooth READ Smooth WRITE setSmooth)
    Q_PROPERTY(int Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)

  public:
    // A control with a QProgressBar indicator.
    explicit ProgressBar(QWidget* parent = nullptr);
    // A control whose indicator comes from `factory` (null: none, settings are only stored).
    ProgressBar(ProgressChildFactory* factory, QWidget* parent);
    ~ProgressBar() override;

    int Min() const { return model_.Min(); }
    void setMin(int lMin) { model_.SetMin(lMin); }
    int Max() const { return model_.Max(); }
    void setMax(int lMax) { model_.SetMax(lMax); }
    int Position() const { return model_.Position(); }
    void setPosition(int lPos) { model_.SetPosition(lPos); }
    int Step() const { return model_.Step(); }
    void setStep(int lStep) { model_.SetStep(lStep); }
    bool Smooth() const { return model_.Smooth(); }
    void setSmooth(bool bSmooth) { model_.SetSmooth(bSmooth); }
    int Orientation() const { return model_.Orientation(); }
    void setOrientation(int eOrientation) { model_.SetOrientation(eOrientation); }
    int BorderStyle() const { return model_.BorderStyle(); }
    void setBorderStyle(int eBorderStyle) { model_.SetBorderStyle(eBorderStyle); }
    OleColor ForeColor() const { return model_.ForeColor(); }
    void setForeColor(OleColor oNewForeColor) { model_.SetForeColor(oNewForeColor); }
    OleColor BackColor() const { return model_.BackColor(); }
    void setBackColor(OleColor oNewBackColor) { model_.SetBackColor(oNewBackColor); }
    void StepIt() { model_.StepIt(); }

    // The indicator widget, the control's only child; null when there is none.
    QWidget* hwnd() const;

    QSize sizeHint() const override { return QSize(160, 16); }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::unique_ptr<ProgressChildFactory> ownFactory_;
    ProgressBarModel model_;
};

}  // namespace sealwise::gui
