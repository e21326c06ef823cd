#pragma once
// One round lamp of a traffic light: lit in its colour, or dark.
#include <QColor>
#include <QWidget>

namespace sealwise::gui {

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
