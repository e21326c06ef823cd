#pragma once
// ucShape: one filled rectangle with rounded corners over the whole control, outlined two
// pixels wide in the fore colour, on the container's back colour. Never smaller than 32 x 32.
#include <QFont>
#include <QWidget>

#include "gui/controls/ole_color.h"

namespace sealwise::gui {

class PropertyBag;

class ucShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Rounding READ Rounding WRITE setRounding)

  public:
    static constexpr int kMinimumSide = 32;
    // The fore colour a layout holds when it saved none.
    static constexpr OleColor kSavedForeColor = 0xBFB8BFu;

    explicit ucShape(QWidget* parent = nullptr);

    OleColor ForeColor() const { return foreColor_; }
    void setForeColor(OleColor New_ForeColor);
    OleColor FillColor() const { return fillColor_; }
    void setFillColor(OleColor New_FillColor);
    // Width and height of the corner ellipse in pixels; negative values are ignored.
    int Rounding() const { return rounding_; }
    void setRounding(int New_Rounding);
    QFont Font() const { return font(); }
    void setShapeFont(const QFont& New_Font);
    OleColor BackColor() const { return backColor_; }

    // The container reports that one of its settings changed; only "BackColor" matters.
    void AmbientChanged(const QString& name);

    void SaveProperties(PropertyBag& bag) const;
    void LoadProperties(const PropertyBag& bag);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    OleColor AmbientBackColor() const;
    QFont AmbientFont() const;

    OleColor foreColor_ = OleRgb(0, 0, 0);
    OleColor fillColor_ = OleRgb(255, 255, 255);
    OleColor backColor_;
    int rounding_ = 0;
};

}  // namespace sealwise::gui
