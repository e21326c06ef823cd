#pragma once
// KeyboardWindow (form FrmTast): the on-screen keyboard, a small tool window whose key buttons
// type into the main window's passphrase box, in the German, US English or Spanish arrangement,
// at single or double size.
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>

#include "gui/keyboard/desktop_keyboard_layout.h"
#include "gui/keyboard/screen_keyboard.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sealwise::gui {

class KeyboardWindow : public QWidget {
    Q_OBJECT

  public:
    // The screen rectangle the keyboard must leave visible: the passphrase box and what the
    // user reads while typing (hint, rating). Without one, the box itself.
    using ControlsArea = std::function<QRect()>;

    // `passphraseBox` receives the typed characters; `owner` keeps the window above it.
    KeyboardWindow(QLineEdit* passphraseBox, QWidget* owner, uint32_t keyboardLayout,
                   ControlsArea keepVisible = {});

    // Shows the keyboard of `owner`, creating it when it is not open, and places it again.
    static KeyboardWindow* ShowFor(QWidget* owner, QLineEdit* passphraseBox,
                                   ControlsArea keepVisible = {},
                                   uint32_t keyboardLayout = DesktopKeyboardLayout());

    // Where the keyboard must not go, in screen coordinates.
    QRect KeptVisible() const;

    const ScreenKeyboard& Keyboard() const { return keyboard_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void LocalizeKeys();
    void KeyClicked(int index);
    void ZoomClicked(int option);
    void ApplyGeometry();
    // Beside the owner or below the passphrase controls, on the screen, never over them.
    void PlaceNextToControls();

    QPointer<QLineEdit> passphrase_;
    ControlsArea keepVisible_;
    ScreenKeyboard keyboard_;
    std::map<int, QPushButton*> keys_;            // cmdNr(index)
    std::array<QRadioButton*, 2> zoomOptions_{};  // Option1(0) "1x", Option1(1) "2x"
};

}  // namespace sealwise::gui
