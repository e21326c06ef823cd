#pragma once
// One round lamp of a traffic light: lit in its colour, or dark; and the grey housing the
// lamps of a light sit in.
#include <QColor>
#include <QWidget>

namespace sealwise::gui {

class RoundedPanel;

// A grey rounded housing with a darker outline; cornerEllipse as RoundedPanel takes it.
RoundedPanel* MakeLampHousing(QWidget* parent, int cornerEllipse);

class LampImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Lit READ Lit WRITE SetLit)

  public:
    LampImage(QColor colour, int diameter, QWidget* parent = nullptr);

    bool Lit() const { return lit_; }
    void SetLit(bool lit);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
    bool lit_ = false;
};

}  // namespace sealwise::gui
