#pragma once
// The window's own caption buttons in one image: minimise on the left half, close on the right
// (from 15 pixels on). From the keyboard, Enter or Space closes and the minus key minimises.
#include <QWidget>

namespace sealwise::gui {

class CaptionButtons : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kCloseFromX = 15;

    explicit CaptionButtons(QWidget* parent = nullptr);

  Q_SIGNALS:
    void MinimiseClicked();
    void CloseClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    int hoverX_ = -1;
};

}  // namespace sealwise::gui
