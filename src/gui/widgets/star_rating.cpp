#include "gui/widgets/star_rating.h"

#include <QAccessible>
#include <QGridLayout>

#include "gui/art/symbols.h"
#include "gui/widgets/painted_image.h"

namespace sealwise::gui {

namespace {
constexpr int kStarSide = 20;
}  // namespace

StarRating::StarRating(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    for (int i = 0; i < kStarCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        starImages_[index] = new PaintedImage(
            QSize(kStarSide, kStarSide),
            [](QPainter& p, const QRectF& r) { PaintStar(p, r, true); }, this);
        starImages_[index]->setObjectName(QString(kStarName).arg(i + 1));
        placeImages_[index] = new PaintedImage(
            QSize(kStarSide, kStarSide),
            [](QPainter& p, const QRectF& r) { PaintStar(p, r, false); }, this);
        placeImages_[index]->setObjectName(QString(kPlaceName).arg(i + 1));
        grid->addWidget(starImages_[index], 0, i);
        grid->addWidget(placeImages_[index], 0, i);
        starImages_[index]->hide();
    }
}

void StarRating::SetShown(const std::array<bool, kStarCount>& stars,
                          const std::array<bool, kStarCount>& places) {
    int shown = 0;
    for (std::size_t i = 0; i < stars.size(); ++i) {
        starImages_[i]->setVisible(stars[i]);
        placeImages_[i]->setVisible(places[i]);
        shown += stars[i] ? 1 : 0;
    }
    if (shown == stars_) return;
    stars_ = shown;
    QAccessibleValueChangeEvent changed(this, stars_);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace sealwise::gui
