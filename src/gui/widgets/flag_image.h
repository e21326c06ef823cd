#pragma once
// FlagImage (images ImageDE, ImageEN, ImageES, ImageFR): a clickable language flag. The flag of
// the current language is marked with a single-line border (the original BorderStyle 1); the
// others have none. Space or Enter clicks it from the keyboard.
#include <QFrame>

#include "gui/art/flags.h"

namespace sealwise::gui {

class FlagImage : public QFrame {
    Q_OBJECT
    Q_PROPERTY(bool Marked READ IsMarked WRITE SetMarked)

  public:
    FlagImage(FlagKind kind, QWidget* parent = nullptr);

    FlagKind Kind() const { return kind_; }
    bool IsMarked() const { return frameShape() == QFrame::Box; }
    void SetMarked(bool marked);
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
