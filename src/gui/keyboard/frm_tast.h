#pragma once
// FrmTast, the on-screen keyboard: a small tool window whose key buttons type into the main
// window's passphrase box, in the German, US English or Spanish arrangement, at single or
// double size.
#include <QPointer>
#include <QWidget>
#include <array>
#include <map>

#include "gui/keyboard/desktop_keyboard_layout.h"
#include "gui/keyboard/screen_keyboard.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sealwise::gui {

class FrmTast : public QWidget {
    Q_OBJECT

  public:
    // `passphraseBox` receives the typed characters; `owner` keeps the window above it.
    FrmTast(QLineEdit* passphraseBox, QWidget* owner, uint32_t keyboardLayout);

    // Shows the keyboard of `owner`, creating it when it is not open, and places it again.
    static FrmTast* ShowFor(QWidget* owner, QLineEdit* passphraseBox,
                            uint32_t keyboardLayout = DesktopKeyboardLayout());

    const ScreenKeyboard& Keyboard() const { return keyboard_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void LocalizeKeys();
    void KeyClicked(int index);
    void ZoomClicked(int option);
    void ApplyGeometry();
    void PlaceBeside(QWidget* owner);

    QPointer<QLineEdit> passphrase_;
    ScreenKeyboard keyboard_;
    std::map<int, QPushButton*> keys_;            // cmdNr(index)
    std::array<QRadioButton*, 2> zoomOptions_{};  // Option1(0) "1x", Option1(1) "2x"
};

}  // namespace sealwise::gui
