// FCrypt: the random passphrase generator and the shared-security key entry (count box, scroll
// bar and arrows), bound to the key entry model.
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "gui/main/fcrypt.h"
#include "passphrase/generator.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

void FCrypt::ConnectPassphraseHandlers() {
    connect(pwd_.generate, &QPushButton::clicked, this, &FCrypt::GenerateClicked);
    connect(pwd_.keyCount, &QLineEdit::textChanged, this, [this](const QString& text) {
        ApplyKeyEntry(keyEntry_.OnCountEdited(text.toStdString()));
    });
    connect(pwd_.keyScroll, &QScrollBar::valueChanged, this,
            [this](int value) { ApplyKeyEntry(keyEntry_.OnScrollChanged(value)); });
    connect(pwd_.keyArrows[0], &QToolButton::clicked, this,
            [this] { ApplyKeyEntry(keyEntry_.OnArrow(KeyArrow::kNext)); });
    connect(pwd_.keyArrows[1], &QToolButton::clicked, this,
            [this] { ApplyKeyEntry(keyEntry_.OnArrow(KeyArrow::kPrevious)); });
    pwd_.keyCount->installEventFilter(this);
}

// Leaving the count box validates it. A refused count keeps the focus in the box; the check
// runs after the focus change has settled, since it may show a message box.
bool FCrypt::FilterPassphraseEvent(QObject* watched, QEvent* event) {
    if (watched != pwd_.keyCount || event->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || busy_ ||
        !keyEntry_.sharedSecurity()) {
        return false;
    }
    QTimer::singleShot(0, this, [this] {
        if (keyEntry_.sharedSecurity()) ApplyKeyEntry(keyEntry_.OnCountLeaving());
    });
    return false;
}

void FCrypt::GenerateClicked() {
    GeneratedPassphrase generated = GenerateRandomPassphrase();
    pwd_.passphrase->setText(QString::fromStdString(generated.text));  // rates it
    SecureWipe(generated.text);
    pwd_.hide->setChecked(false);  // shown, so that it can be memorised
    ShowQuality(generated.display);
}

}  // namespace sealwise::gui
