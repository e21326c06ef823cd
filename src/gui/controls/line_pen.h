#pragma once
// Pen-position line drawing for the self-drawn controls: MoveTo sets the position, LineTo draws
// to a point without painting that end point (so joined lines do not overdraw their corners).
#include <QColor>
#include <QPainter>
#include <QPoint>

namespace sealwise::gui {

class LinePen {
  public:
    explicit LinePen(QPainter& painter) : painter_(painter) {}

    void SetColor(const QColor& color) { painter_.setPen(QPen(color, 0)); }
    void MoveTo(int x, int y) { position_ = QPoint(x, y); }
    void LineTo(int x, int y) {
        const QPoint end(x, y);
        const QPoint step(Sign(end.x() - position_.x()), Sign(end.y() - position_.y()));
        if (step != QPoint(0, 0)) painter_.drawLine(position_, end - step);
        position_ = end;
    }

  private:
    static int Sign(int value) { return (value > 0) - (value < 0); }

    QPainter& painter_;
    QPoint position_;
};

}  // namespace sealwise::gui
