#include "gui/main/passphrase_controller.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include "app/strings.h"
#include "crypto/keys.h"
#include "gui/app/localizer.h"
#include "gui/keyboard/keyboard_window.h"
#include "gui/main/main_window.h"
#include "gui/widgets/lamp_image.h"
#include "gui/widgets/star_rating.h"
#include "passphrase/generator.h"
#include "passphrase/rating.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

PassphraseController::PassphraseController(MainWindow& window)
    : window_(window), panel_(BuildPassphrasePanel(&window)) {
    Connect();
}

void PassphraseController::Connect() {
    connect(panel_.passphrase, &QLineEdit::textChanged, this,
            &PassphraseController::PassphraseEdited);
    connect(panel_.hide, &QCheckBox::toggled, this, [this](bool hidden) {
        panel_.passphrase->setEchoMode(hidden ? QLineEdit::Password : QLineEdit::Normal);
    });
    connect(panel_.modes[1], &QRadioButton::toggled, this,
            &PassphraseController::ModeOptionToggled);
    connect(panel_.generate, &QPushButton::clicked, this, &PassphraseController::GenerateClicked);
    connect(panel_.keyboard, &QPushButton::clicked, this, [this] {
        KeyboardWindow::ShowFor(&window_, panel_.passphrase, [this] { return Area(); });
    });
    connect(panel_.keyCount, &QLineEdit::textChanged, this, [this](const QString& text) {
        ApplyKeyEntry(keyEntry_.OnCountEdited(text.toStdString()));
    });
    connect(panel_.keyScroll, &QScrollBar::valueChanged, this,
            [this](int value) { ApplyKeyEntry(keyEntry_.OnScrollChanged(value)); });
    connect(panel_.keyArrows[0], &QToolButton::clicked, this,
            [this] { ApplyKeyEntry(keyEntry_.OnArrow(KeyArrow::kNext)); });
    connect(panel_.keyArrows[1], &QToolButton::clicked, this,
            [this] { ApplyKeyEntry(keyEntry_.OnArrow(KeyArrow::kPrevious)); });
    panel_.keyCount->installEventFilter(this);
}

void PassphraseController::PassphraseEdited(const QString& text) {
    keyEntry_.OnPassphraseEdited(text.toStdString());
    RatePassphrase(text);
}

void PassphraseController::ModeOptionToggled(bool sharedSecurity) {
    ApplyKeyEntry(keyEntry_.SelectMode(sharedSecurity ? KeyEntryMode::kSharedSecurity
                                                      : KeyEntryMode::kOnePassphrase));
}

// Leaving the count box validates it. A refused count keeps the focus in the box; the check
// runs after the focus change has settled, since it may show a message box.
bool PassphraseController::eventFilter(QObject* watched, QEvent* event) {
    if (watched != panel_.keyCount || event->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        window_.IsBusy() || !keyEntry_.sharedSecurity()) {
        return false;
    }
    QTimer::singleShot(0, this, [this] {
        if (keyEntry_.sharedSecurity()) ApplyKeyEntry(keyEntry_.OnCountLeaving());
    });
    return false;
}

void PassphraseController::GenerateClicked() {
    GeneratedPassphrase generated = GenerateRandomPassphrase();
    panel_.passphrase->setText(QString::fromStdString(generated.text));  // rates it
    SecureWipe(generated.text);
    panel_.hide->setChecked(false);  // shown, so that it can be memorised
    ShowQuality(generated.display);
}

void PassphraseController::ApplyKeyEntry(const KeyEntryUpdate& update) {
    if (update.mode) {
        panel_.modes[*update.mode == KeyEntryMode::kSharedSecurity ? 1 : 0]->setChecked(true);
    }
    if (update.passphraseBox)
        panel_.passphrase->setText(QString::fromStdString(*update.passphraseBox));
    {
        // The model already holds these values: their change handlers need not run again.
        const QSignalBlocker countBlocker(panel_.keyCount);
        const QSignalBlocker scrollBlocker(panel_.keyScroll);
        if (update.countText) panel_.keyCount->setText(QString::fromStdString(*update.countText));
        if (update.scrollMaximum) panel_.keyScroll->setMaximum(*update.scrollMaximum);
        if (update.scrollValue) panel_.keyScroll->setValue(*update.scrollValue);
    }
    if (update.keyOfLabel) panel_.keyOf->setText(QString::fromStdString(*update.keyOfLabel));
    if (update.modeOptionsVisible) {
        for (auto* option : panel_.modes) option->setVisible(*update.modeOptionsVisible);
    }
    if (update.countPanelVisible) panel_.keyCountPanel->setVisible(*update.countPanelVisible);
    if (update.navigatorVisible) {
        for (QWidget* part :
             {static_cast<QWidget*>(panel_.keyScroll), static_cast<QWidget*>(panel_.keyArrows[0]),
              static_cast<QWidget*>(panel_.keyArrows[1]), static_cast<QWidget*>(panel_.keyOf)}) {
            part->setVisible(*update.navigatorVisible);
        }
    }
    if (update.keepFocus) {
        // Set again once the focus change that is being refused has finished.
        QTimer::singleShot(0, panel_.keyCount, [this] { panel_.keyCount->setFocus(); });
    }
    if (update.focus) {
        (*update.focus == KeyEntryFocus::kCountBox ? static_cast<QWidget*>(panel_.keyCount)
                                                   : panel_.passphrase)
            ->setFocus();
    }
    if (update.messageId) {
        window_.Services().ShowMessage(&window_, ResText(*update.messageId), MessageButtons::Ok,
                                       MessageIcon::Warning, kProductName);
    }
}

void PassphraseController::RatePassphrase(const QString& text) {
    ShowQuality(sealwise::RatePassphrase(text.toStdString()));
}

void PassphraseController::ShowQuality(const PassphraseRating& rating) {
    panel_.verdict->setText(ResText(rating.verdictId, panel_.verdict->text()));
    panel_.rating->SetShown(rating.starsShown, rating.placeholdersShown);
    panel_.lamps[0]->SetLit(rating.lamps.red);
    panel_.lamps[1]->SetLit(rating.lamps.yellow);
    panel_.lamps[2]->SetLit(rating.lamps.green);
}

bool PassphraseController::Empty() const { return panel_.passphrase->text().isEmpty(); }

std::string PassphraseController::TakePassphrase() {
    QString text = panel_.passphrase->text();
    // setText, unlike clear(), also drops the box's undo history.
    panel_.passphrase->setText(QString());
    QByteArray utf8 = text.toUtf8();
    std::string passphrase(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    utf8.fill('\0');
    text.fill(QChar(0));  // the box let go of it: this is the only copy left
    return passphrase;
}

DecryptSecrets PassphraseController::TakeDecryptSecrets(StoredFormat format,
                                                        const std::function<void()>& turnBusy) {
    const bool modern = format == StoredFormat::kModern;
    DecryptSecrets secrets;
    if (keyEntry_.sharedSecurity()) {
        if (modern) {
            secrets.texts = keyEntry_.TakeSharedKeyTexts();
        } else {
            secrets.keys = keyEntry_.CombineKeyCandidates();
        }
    }
    turnBusy();
    std::string passphrase = TakePassphrase();
    if (!keyEntry_.sharedSecurity()) {
        if (modern) {
            secrets.texts.push_back(passphrase);
        } else {
            secrets.keys = CandidateKeys(passphrase);
        }
    }
    SecureWipe(passphrase);
    return secrets;
}

// The hint, the passphrase box with its tools and the rating: what the user reads while
// typing, which the on-screen keyboard must leave visible.
QRect PassphraseController::Area() const {
    const QPoint top = panel_.frame->mapToGlobal(QPoint(0, 0));
    const int lowerRowsTop = panel_.lowerRows->mapTo(panel_.frame, QPoint(0, 0)).y();
    return QRect(top, QSize(panel_.frame->width(), lowerRowsTop));
}

}  // namespace sealwise::gui
