#include "gui/controls/uc_shape.h"

#include <QEvent>
#include <QPainter>
#include <limits>

#include "gui/controls/property_bag.h"

namespace sealwise::gui {

namespace {
constexpr int kOutlineWidth = 2;
}

ucShape::ucShape(QWidget* parent) : QWidget(parent), backColor_(AmbientBackColor()) {
    setMinimumSize(kMinimumSide, kMinimumSide);
    setFont(AmbientFont());
}

OleColor ucShape::AmbientBackColor() const {
    const QWidget* container = parentWidget();
    return OleFromColor((container ? container->palette() : palette()).color(QPalette::Window));
}

QFont ucShape::AmbientFont() const { return parentWidget() ? parentWidget()->font() : font(); }

void ucShape::setForeColor(OleColor New_ForeColor) {
    foreColor_ = New_ForeColor;
    update();
}

void ucShape::setFillColor(OleColor New_FillColor) {
    fillColor_ = New_FillColor;
    update();
}

void ucShape::setRounding(int New_Rounding) {
    if (New_Rounding < 0 || New_Rounding > std::numeric_limits<int16_t>::max()) return;
    rounding_ = New_Rounding;
    update();
}

void ucShape::setShapeFont(const QFont& New_Font) {
    setFont(New_Font);
    update();
}

void ucShape::AmbientChanged(const QString& name) {
    if (name != "BackColor") return;
    backColor_ = AmbientBackColor();
    update();
}

void ucShape::SaveProperties(PropertyBag& bag) const {
    const OleColor ambient = AmbientBackColor();
    bag.WriteInt("FillColor", fillColor_, ambient);
    bag.WriteInt("BackColor", backColor_, ambient);
    bag.WriteInt("ForeColor", foreColor_, kSavedForeColor);
    bag.WriteText("Font", font().toString().toStdString(), AmbientFont().toString().toStdString());
    bag.WriteInt("Rounding", rounding_, 0);
}

// The back colour is never taken from the layout: the container's colour always wins.
void ucShape::LoadProperties(const PropertyBag& bag) {
    backColor_ = AmbientBackColor();
    setForeColor(static_cast<OleColor>(bag.ReadInt("ForeColor", kSavedForeColor)));
    QFont loaded;
    const auto fontText = bag.ReadText("Font", AmbientFont().toString().toStdString());
    setShapeFont(loaded.fromString(QString::fromStdString(fontText)) ? loaded : AmbientFont());
    setRounding(static_cast<int>(bag.ReadInt("Rounding", 0)));
    setFillColor(static_cast<OleColor>(bag.ReadInt("FillColor", AmbientBackColor())));
}

void ucShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), TranslateOleColor(backColor_, pal));
    painter.setRenderHint(QPainter::Antialiasing, true);
    QColor outline = TranslateOleColor(foreColor_, pal);
    QColor fill = TranslateOleColor(fillColor_, pal);
    painter.setPen(outline.isValid()
                       ? QPen(outline, kOutlineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                       : QPen(Qt::NoPen));
    painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    // The pen is centred on the edge: inset by half its width so both lines stay visible.
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = rounding_ / 2.0;
    painter.drawRoundedRect(area, radius, radius);
}

void ucShape::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ParentChange) backColor_ = AmbientBackColor();
    QWidget::changeEvent(event);
}

}  // namespace sealwise::gui
