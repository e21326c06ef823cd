#pragma once
// ProgressBar: a framed control around one QProgressBar that fills it. Keeps the settings of
// the original control: range 1 to 100, step 1, a thin border and a segmented bar in the
// palette's highlight colour until told otherwise. StepIt starts over from the minimum once it
// passes the maximum.
#include <QColor>
#include <QFrame>

class QProgressBar;

namespace sealwise::gui {

class ProgressBar : public QFrame {
    Q_OBJECT

  public:
    enum class Border { None, Thin, Sunken };
    // The object name of the QProgressBar inside.
    static constexpr char kIndicatorName[] = "ProgressIndicator";

    explicit ProgressBar(QWidget* parent = nullptr);

    int Min() const { return minimum_; }
    void setMin(int minimum);
    int Max() const { return maximum_; }
    void setMax(int maximum);
    // The position as set; the bar shows it held inside the range.
    int Position() const { return position_; }
    void setPosition(int position);
    int Step() const { return step_; }
    void setStep(int step);
    // Advances by Step; past the maximum the bar starts over from the minimum.
    void StepIt();

    // A smooth bar fills in one run, a segmented one in separate blocks.
    bool Smooth() const { return smooth_; }
    void setSmooth(bool smooth);
    Qt::Orientation Orientation() const;
    void setOrientation(Qt::Orientation orientation);
    Border BorderStyle() const { return border_; }
    void setBorderStyle(Border border);
    // The colour of the filled part and of the rest; an invalid colour follows the palette
    // (highlight and button colour).
    QColor BarColor() const { return barColor_; }
    void setBarColor(const QColor& colour);
    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor& colour);

    // The bar itself, the control's only child (object name "ProgressIndicator").
    QProgressBar* Indicator() const { return bar_; }

    QSize sizeHint() const override { return QSize(160, 16); }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowRange();
    void ShowPosition();
    void ApplyStyleSheet();

    QProgressBar* bar_;
    int minimum_ = 1;
    int maximum_ = 100;
    int position_ = 0;
    int step_ = 1;
    bool smooth_ = false;
    Border border_ = Border::Thin;
    QColor barColor_;
    QColor backColor_;
};

}  // namespace sealwise::gui
