#include "gui/widgets/lamp_image.h"

#include <QPainter>

#include "gui/art/symbols.h"
#include "gui/controls/rounded_panel.h"

namespace sealwise::gui {

RoundedPanel* MakeLampHousing(QWidget* parent, int cornerEllipse) {
    auto* housing = new RoundedPanel(parent);
    housing->SetFillColor(QColor(192, 192, 192));
    housing->SetOutlineColor(QColor(128, 128, 128));
    housing->SetCornerEllipse(cornerEllipse);
    return housing;
}

LampImage::LampImage(QColor colour, int diameter, QWidget* parent)
    : QWidget(parent), colour_(colour) {
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TranslucentBackground);
}

void LampImage::SetLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    update();
}

void LampImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintLamp(painter, QRectF(rect()), colour_, lit_);
}

}  // namespace sealwise::gui
