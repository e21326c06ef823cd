#include "gui/app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

namespace sealwise::gui {

namespace {

// `rect` moved (not resized) so that as much of it as possible lies in `area`, its top-left
// corner first.
QPoint MovedInside(const QRect& area, QRect rect) {
    if (rect.right() > area.right()) rect.moveRight(area.right());
    if (rect.bottom() > area.bottom()) rect.moveBottom(area.bottom());
    if (rect.left() < area.left()) rect.moveLeft(area.left());
    if (rect.top() < area.top()) rect.moveTop(area.top());
    return rect.topLeft();
}

}  // namespace

QPoint CentredIn(const QRect& area, const QSize& size) {
    const QRect centred(area.left() + (area.width() - size.width()) / 2,
                        area.top() + (area.height() - size.height()) / 2, size.width(),
                        size.height());
    return MovedInside(area, centred);
}

QPoint PlaceBesideControls(const QRect& screen, const QRect& owner, const QRect& controls,
                           const QRect& field, const QSize& size) {
    const int g = kPlacementGap;
    const QRect belowControls(QPoint(controls.left(), controls.bottom() + 1 + g), size);
    const std::array<QRect, 5> candidates = {
        QRect(QPoint(owner.right() + 1 + g, controls.top()), size),  // right of the window
        QRect(QPoint(owner.left() - g - size.width(), controls.top()), size),  // left of it
        QRect(QPoint(controls.left(), owner.bottom() + 1 + g), size),          // below the window
        belowControls,
        QRect(QPoint(controls.left(), controls.top() - g - size.height()), size),  // above
    };
    for (const QRect& place : candidates) {
        if (screen.contains(place) && !place.intersects(controls)) return place.topLeft();
    }
    // Nothing fits as it is: slide each place onto the screen and take the first that still
    // leaves the controls free.
    for (const QRect& place : candidates) {
        const QPoint moved = MovedInside(screen, place);
        if (!QRect(moved, size).intersects(controls)) return moved;
    }
    // Too little room: right below or above the field, covering the least of the rest.
    const std::array<QRect, 2> nearField = {
        QRect(QPoint(controls.left(), field.bottom() + 1 + g), size),
        QRect(QPoint(controls.left(), field.top() - g - size.height()), size)};
    std::optional<QPoint> best;
    qint64 bestCover = 0;
    for (const QRect& place : nearField) {
        const QRect moved(MovedInside(screen, place), size);
        if (moved.intersects(field)) continue;
        const QRect covered = moved & controls;
        const qint64 cover = qint64(covered.width()) * covered.height();
        if (!best || cover < bestCover) {
            best = moved.topLeft();
            bestCover = cover;
        }
    }
    return best.value_or(MovedInside(screen, belowControls));
}

QRect AvailableScreenArea(const QWidget* widget) {
    QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void CentreOnScreenOf(QWidget* window, const QWidget* reference) {
    const QRect area = AvailableScreenArea(reference ? reference : window);
    if (area.isEmpty()) return;
    const QSize frame = window->frameGeometry().size().expandedTo(window->size());
    window->move(CentredIn(area, frame));
}

}  // namespace sealwise::gui
