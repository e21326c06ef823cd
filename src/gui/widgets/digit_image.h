#pragma once
// One image of the elapsed-time counter: a dot-matrix digit or the separator.
#include <QWidget>

#include "gui/art/dot_matrix.h"

namespace sealwise::gui {

class DigitImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Digit READ Digit WRITE SetDigit)

  public:
    // glyph: 0..9, or kSeparatorGlyph for the separator (whose picture never changes).
    explicit DigitImage(int glyph, QWidget* parent = nullptr);

    int Digit() const { return glyph_; }
    void SetDigit(int digit);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int glyph_;
};

}  // namespace sealwise::gui
