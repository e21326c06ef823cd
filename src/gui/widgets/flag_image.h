#pragma once
// A clickable language flag. The flag of the current language carries a single-line border
// (BorderStyle 1); the others have none (0). Space or Enter clicks it from the keyboard.
#include <QFrame>

#include "gui/art/flags.h"

namespace sealwise::gui {

class FlagImage : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)

  public:
    FlagImage(FlagKind kind, QWidget* parent = nullptr);

    FlagKind Kind() const { return kind_; }
    int BorderStyle() const { return frameShape() == QFrame::Box ? 1 : 0; }
    void SetBorderStyle(int style);
    // What a click does: chooses this flag's language.
    void Press() { Q_EMIT clicked(); }

  Q_SIGNALS:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    FlagKind kind_;
};

}  // namespace sealwise::gui
