#pragma once
// An image drawn by code at the screen's resolution, so it stays sharp at any scale.
#include <QWidget>
#include <functional>

namespace sealwise::gui {

class PaintedImage : public QWidget {
    Q_OBJECT

  public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;

    PaintedImage(QSize size, Painter painter, QWidget* parent = nullptr);

    QSize sizeHint() const override { return size_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSize size_;
    Painter painter_;
};

}  // namespace sealwise::gui
