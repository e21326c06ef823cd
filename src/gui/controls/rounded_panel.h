#pragma once
// RoundedPanel (control ucShape): one filled rectangle with rounded corners over the whole
// panel, outlined two pixels wide, on the back colour of the widget that holds it. Never
// smaller than 32 x 32 pixels.
#include <QColor>
#include <QWidget>

namespace sealwise::gui {

class RoundedPanel : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMinimumSide = 32;

    explicit RoundedPanel(QWidget* parent = nullptr);

    QColor OutlineColor() const { return outline_; }
    void SetOutlineColor(const QColor& colour);
    QColor FillColor() const { return fill_; }
    void SetFillColor(const QColor& colour);
    // Width and height of the ellipse that rounds each corner, in pixels; 0 gives sharp
    // corners, a negative size is ignored.
    int CornerEllipse() const { return cornerEllipse_; }
    void SetCornerEllipse(int size);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor outline_ = Qt::black;
    QColor fill_ = Qt::white;
    int cornerEllipse_ = 0;
};

}  // namespace sealwise::gui
