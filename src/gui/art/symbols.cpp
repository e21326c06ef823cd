#include "gui/art/symbols.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace sealwise::gui {

namespace {

QPolygonF StarPolygon(const QRectF& area) {
    const QPointF centre = area.center();
    const double outer = std::min(area.width(), area.height()) / 2.0;
    const double inner = outer * 0.42;
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? outer : inner;
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle) + outer * 0.08);
    }
    return star;
}

}  // namespace

void PaintStar(QPainter& painter, const QRectF& area, bool filled) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPolygonF star = StarPolygon(area.adjusted(1, 1, -1, -1));
    if (filled) {
        QRadialGradient shine(area.center() - QPointF(area.width() / 6, area.height() / 6),
                              area.width() * 0.7);
        shine.setColorAt(0, QColor(255, 236, 140));
        shine.setColorAt(1, QColor(232, 162, 20));
        painter.setBrush(shine);
        painter.setPen(QPen(QColor(168, 100, 11), 1.0));
    } else {
        painter.setBrush(QColor(236, 236, 236));
        painter.setPen(
            QPen(QColor(176, 176, 176), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.drawPolygon(star);
    painter.restore();
}

void PaintLamp(QPainter& painter, const QRectF& area, const QColor& colour, bool lit) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF disc = area.adjusted(1.5, 1.5, -1.5, -1.5);
    if (lit) {
        QRadialGradient glow(disc.center() - QPointF(disc.width() / 5, disc.height() / 5),
                             disc.width() * 0.75);
        glow.setColorAt(0, colour.lighter(160));
        glow.setColorAt(0.45, colour);
        glow.setColorAt(1, colour.darker(135));
        painter.setBrush(glow);
        painter.setPen(QPen(colour.darker(170), 1.0));
    } else {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 0, 0, 70), 1.0));
    }
    painter.drawEllipse(disc);
    painter.restore();
}

void PaintLogo(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(area.topLeft());
    painter.scale(area.width() / 256.0, area.height() / 256.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(36, 90, 152));
    painter.drawRoundedRect(QRectF(12, 12, 232, 232), 44, 44);
    QPainterPath sheet;
    sheet.moveTo(64, 40);
    sheet.lineTo(156, 40);
    sheet.lineTo(192, 76);
    sheet.lineTo(192, 216);
    sheet.lineTo(64, 216);
    sheet.closeSubpath();
    painter.setBrush(QColor(244, 247, 251));
    painter.drawPath(sheet);
    painter.setBrush(QColor(201, 214, 230));
    painter.drawPolygon(QPolygonF({QPointF(156, 40), QPointF(156, 76), QPointF(192, 76)}));
    painter.setPen(QPen(QColor(159, 179, 204), 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(84, 84), QPointF(140, 84));
    painter.drawLine(QPointF(84, 108), QPointF(172, 108));
    painter.drawLine(QPointF(84, 132), QPointF(120, 132));
    painter.setPen(QPen(QColor(168, 100, 11), 6));
    painter.setBrush(QColor(240, 181, 48));
    painter.drawEllipse(QPointF(164, 168), 50, 50);
    painter.setPen(QPen(QColor(255, 241, 196), 4, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(164, 168), 36, 36);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 51, 6));
    painter.drawEllipse(QPointF(164, 158), 12, 12);
    painter.drawPolygon(
        QPolygonF({QPointF(157, 164), QPointF(171, 164), QPointF(177, 194), QPointF(151, 194)}));
    painter.restore();
}

void PaintCaptionButtons(QPainter& painter, const QRectF& area, const QColor& ink) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double half = area.width() / 2;
    const QRectF minimise(area.left(), area.top(), half, area.height());
    const QRectF close(area.left() + half, area.top(), half, area.height());
    painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    const double inset = std::min(half, area.height()) * 0.28;
    painter.drawLine(QPointF(minimise.left() + inset, minimise.bottom() - inset),
                     QPointF(minimise.right() - inset, minimise.bottom() - inset));
    const QRectF cross = close.adjusted(inset, inset, -inset, -inset);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.bottomLeft(), cross.topRight());
    painter.restore();
}

void PaintProductPicture(QPainter& painter, const QRectF& area, ProductPicture picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box = area.adjusted(2, 2, -2, -2);
    switch (picture) {
        case ProductPicture::CommandLine: {
            painter.setPen(QPen(QColor(60, 60, 70), 1.5));
            painter.setBrush(QColor(30, 34, 40));
            painter.drawRoundedRect(box, 6, 6);
            painter.setPen(
                QPen(QColor(140, 255, 170), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const double u = box.width() / 10;
            painter.drawPolyline(QPolygonF({box.topLeft() + QPointF(2 * u, 3 * u),
                                            box.topLeft() + QPointF(4 * u, 5 * u),
                                            box.topLeft() + QPointF(2 * u, 7 * u)}));
            painter.drawLine(box.topLeft() + QPointF(5 * u, 7 * u),
                             box.topLeft() + QPointF(8 * u, 7 * u));
            break;
        }
        case ProductPicture::OnlineVersion: {
            painter.setPen(QPen(QColor(36, 90, 152), 2.5));
            painter.setBrush(QColor(222, 236, 252));
            painter.drawEllipse(box);
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(box.adjusted(box.width() * 0.3, 0, -box.width() * 0.3, 0));
            painter.drawLine(QPointF(box.center().x(), box.top()),
                             QPointF(box.center().x(), box.bottom()));
            painter.drawLine(QPointF(box.left(), box.center().y()),
                             QPointF(box.right(), box.center().y()));
            break;
        }
        case ProductPicture::OnlineGuide: {
            painter.setPen(QPen(QColor(168, 100, 11), 2));
            painter.setBrush(QColor(240, 181, 48));
            painter.drawRoundedRect(box.adjusted(box.width() * 0.12, 0, -box.width() * 0.12, 0), 4,
                                    4);
            QFont font = painter.font();
            font.setBold(true);
            font.setPixelSize(static_cast<int>(box.height() * 0.6));
            painter.setFont(font);
            painter.setPen(QColor(90, 51, 6));
            painter.drawText(box, Qt::AlignCenter, "?");
            break;
        }
    }
    painter.restore();
}

}  // namespace sealwise::gui
