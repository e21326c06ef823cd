#pragma once
// The five stars of the passphrase rating (Stern(1..5)) over their empty places
// (SchlusselPlatz(1..5)). To assistive tools the row is one value, "4 of 5 stars", not ten
// pictures.
#include <QWidget>
#include <array>

namespace sealwise::gui {

class PaintedImage;

class StarRating : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kStarCount = 5;
    // Object names of star and place i, 1 to 5, as the original control arrays called them.
    static constexpr char kStarName[] = "Stern_%1";
    static constexpr char kPlaceName[] = "SchlusselPlatz_%1";

    explicit StarRating(QWidget* parent = nullptr);

    // Which stars and which empty places are shown.
    void SetShown(const std::array<bool, kStarCount>& stars,
                  const std::array<bool, kStarCount>& places);
    // The stars shown.
    int Stars() const { return stars_; }

    PaintedImage* Star(int index) const { return starImages_[static_cast<std::size_t>(index)]; }
    PaintedImage* Place(int index) const { return placeImages_[static_cast<std::size_t>(index)]; }

  private:
    std::array<PaintedImage*, kStarCount> starImages_{};
    std::array<PaintedImage*, kStarCount> placeImages_{};
    int stars_ = 0;
};

}  // namespace sealwise::gui
