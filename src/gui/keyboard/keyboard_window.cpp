#include "gui/keyboard/keyboard_window.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/msg.h"
#include "app/strings.h"
#include "gui/app/language_switch.h"
#include "gui/app/localizer.h"
#include "gui/app/window_placement.h"
#include "gui/keyboard/keyboard_window_names.h"
#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

namespace names = keyboard_window_names;

namespace {

QRect PixelRect(const TwipRect& rect) {
    return QRect(ScreenKeyboard::Pixels(rect.left), ScreenKeyboard::Pixels(rect.top),
                 ScreenKeyboard::Pixels(rect.width), ScreenKeyboard::Pixels(rect.height));
}

QString ShiftCaption(bool lowerCase) { return lowerCase ? "shift" : "SHIFT"; }

// The box without its last character; a character outside the BMP goes as a whole.
QString WithoutLastCharacter(const QString& text) {
    qsizetype cut = 1;
    if (text.size() >= 2 && text.back().isLowSurrogate() && text[text.size() - 2].isHighSurrogate())
        cut = 2;
    return text.chopped(cut);
}

}  // namespace

KeyboardWindow::KeyboardWindow(QLineEdit* passphraseBox, QWidget* owner, uint32_t keyboardLayout,
                               ControlsArea keepVisible)
    : QWidget(owner, Qt::Tool),
      passphrase_(passphraseBox),
      keepVisible_(std::move(keepVisible)),
      keyboard_(keyboardLayout) {
    setObjectName(names::kWindow);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Ref(Msg::ScreenKeyboardTitle));
    Build();
    LocalizeForm(this);
    LocalizeKeys();
    ApplyGeometry();
    connect(&LanguageSwitch::Instance(), &LanguageSwitch::Changed, this,
            &KeyboardWindow::LocalizeKeys);
}

void KeyboardWindow::Build() {
    for (const KeyDefinition& key : DesignKeys()) {
        auto* button = MakeButton(this, ElementName(names::kKey, key.index),
                                  QString::fromStdString(keyboard_.Caption(key.index)));
        keys_[key.index] = button;
        connect(button, &QPushButton::clicked, this,
                [this, index = key.index] { KeyClicked(index); });
    }
    // Tab types nothing, so it is shown but cannot be pressed.
    keys_[keys::kTab]->setEnabled(false);
    keys_[keys::kShift]->setCheckable(true);
    // "\" sits below the numeric "0" and overlaps it a little; it stays in front.
    keys_[66]->raise();

    auto* sizes = new QButtonGroup(this);
    const std::array<const char*, 2> captions = {"1x", "2x"};
    const std::array<Msg, 2> names = {Msg::NormalSize, Msg::DoubleSize};
    for (int option = 0; option < 2; ++option) {
        zoomOptions_[option] = Named(new QRadioButton(captions[option], this),
                                     ElementName(names::kZoomOption, option));
        SetAccessibleReference(zoomOptions_[option], names[option]);
        sizes->addButton(zoomOptions_[option], option);
        connect(zoomOptions_[option], &QRadioButton::clicked, this,
                [this, option] { ZoomClicked(option); });
    }
    zoomOptions_[0]->setChecked(true);
    SetAccessibleReference(keys_[keys::kBackspace], Msg::BackspaceKeyName);
    SetAccessibleReference(keys_[keys::kShift], Msg::ShiftKeyName);
    SetAccessibleReference(keys_[keys::kEnter], Msg::EnterKeyName);
    SetToolTipReference(keys_[keys::kEnter], Msg::EnterKeyName);
}

// Every key that types a character is named by its place rather than by its caption.
void KeyboardWindow::LocalizeKeys() {
    for (const KeyDefinition& key : DesignKeys()) {
        QPushButton* button = keys_[key.index];
        if (!button->property(kAccessibleTagProperty).toString().isEmpty() ||
            key.index == keys::kTab) {
            continue;
        }
        try {
            button->setAccessibleName(QString::fromStdString(GetResText(
                Msg::KeyAtPlace, std::to_string(key.row), std::to_string(key.position))));
        } catch (const std::exception&) {
            button->setAccessibleName(QString("%1.%2").arg(key.row).arg(key.position));
        }
    }
}

void KeyboardWindow::KeyClicked(int index) {
    using Kind = KeyPress::Kind;
    const KeyPress press = keyboard_.Click(index);
    // While a job runs the passphrase panel is disabled; the keyboard respects that.
    const bool canType = passphrase_ && passphrase_->isEnabled();
    switch (press.kind) {
        case Kind::kAppend:
            // Through the box's own setter, so its change handler rates the new text.
            if (canType)
                passphrase_->setText(passphrase_->text() + QString::fromStdString(press.text));
            break;
        case Kind::kBackspace:
            if (canType && !passphrase_->text().isEmpty())
                passphrase_->setText(WithoutLastCharacter(passphrase_->text()));
            break;
        case Kind::kShiftToggled:
            keys_[keys::kShift]->setText(ShiftCaption(keyboard_.lowerCase()));
            keys_[keys::kShift]->setChecked(!keyboard_.lowerCase());
            break;
        case Kind::kClose:
            close();
            break;
        case Kind::kNothing:
            break;
    }
}

void KeyboardWindow::ZoomClicked(int option) {
    if (!keyboard_.SelectZoom(option)) return;
    ApplyGeometry();
    PlaceNextToControls();  // the new size may no longer fit where it was
}

void KeyboardWindow::ApplyGeometry() {
    setFixedSize(PixelRect(keyboard_.Scaled(kKeyboardClientArea)).size());
    for (const KeyDefinition& key : DesignKeys()) {
        keys_[key.index]->setGeometry(PixelRect(keyboard_.Scaled(key.rect)));
    }
    for (int option = 0; option < 2; ++option) {
        zoomOptions_[option]->setGeometry(PixelRect(keyboard_.Scaled(kZoomOptionRects[option])));
    }
}

QRect KeyboardWindow::KeptVisible() const {
    if (keepVisible_) return keepVisible_();
    if (!passphrase_) return {};
    return QRect(passphrase_->mapToGlobal(QPoint(0, 0)), passphrase_->size());
}

void KeyboardWindow::PlaceNextToControls() {
    QWidget* owner = parentWidget();
    if (!owner) return;
    // The frame (title bar and borders) counts once the window system has reported it.
    const QSize frame = size() + (frameGeometry().size() - geometry().size());
    const QRect field = passphrase_
                            ? QRect(passphrase_->mapToGlobal(QPoint(0, 0)), passphrase_->size())
                            : KeptVisible();
    move(PlaceBesideControls(AvailableScreenArea(owner), owner->frameGeometry(), KeptVisible(),
                             field, frame));
}

void KeyboardWindow::closeEvent(QCloseEvent* event) {
    // The window is deleted soon; a click on the opener before that must make a new one.
    setObjectName(QString());
    QWidget::closeEvent(event);
}

KeyboardWindow* KeyboardWindow::ShowFor(QWidget* owner, QLineEdit* passphraseBox,
                                        ControlsArea keepVisible, uint32_t keyboardLayout) {
    auto* keyboard = owner->findChild<KeyboardWindow*>(names::kWindow, Qt::FindDirectChildrenOnly);
    if (!keyboard)
        keyboard = new KeyboardWindow(passphraseBox, owner, keyboardLayout, std::move(keepVisible));
    keyboard->show();
    keyboard->PlaceNextToControls();
    keyboard->raise();
    keyboard->activateWindow();
    return keyboard;
}

}  // namespace sealwise::gui
