// FCrypt: tab changes, passphrase mode, language switch and the title bar's buttons.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include "app/strings.h"
#include "gui/about/welcome_window.h"
#include "gui/app/desktop_services.h"
#include "gui/app/language_flags.h"
#include "gui/app/language_switch.h"
#include "gui/app/localizer.h"
#include "gui/app/string_ids.h"
#include "gui/app/window_placement.h"
#include "gui/controls/light_tab.h"
#include "gui/main/fcrypt.h"

namespace sealwise::gui {

void FCrypt::MainTabChanged(int mainTab) {
    navigation_.ApplyMainTab(mainTab);
    if (mainTab == MainNavigation::kFilesTab) {
        FileTabChanged(files_.tabs->ActiveTab());
    } else {
        ApplyKeyEntry(keyEntry_.OnTextTabSelected());
    }
    ApplyVisibility();
}

void FCrypt::FileTabChanged(int fileTab) {
    // Encryption always uses one passphrase; the key entry switches the mode back for it.
    ApplyKeyEntry(keyEntry_.OnFileTabSelected(
        fileTab == MainNavigation::kEncryptTab ? FileTab::kEncrypt : FileTab::kDecrypt));
    navigation_.ApplyFileTab(fileTab);
    ApplyVisibility();
}

bool FCrypt::SharedSecuritySelected() const { return keyEntry_.sharedSecurity(); }

void FCrypt::ApplyVisibility() {
    for (const auto& [name, visible] : navigation_.All()) {
        if (auto* widget = findChild<QWidget*>(QString::fromStdString(name))) {
            widget->setVisible(visible);
        }
    }
}

void FCrypt::ModeOptionToggled(bool sharedSecurity) {
    ApplyKeyEntry(keyEntry_.SelectMode(sharedSecurity ? KeyEntryMode::kSharedSecurity
                                                      : KeyEntryMode::kOnePassphrase));
}

void FCrypt::PassphraseEdited(const QString& text) {
    keyEntry_.OnPassphraseEdited(text.toStdString());
    PwdBewert(text);
}

void FCrypt::ApplyKeyEntry(const KeyEntryUpdate& update) {
    if (update.mode) {
        pwd_.modes[*update.mode == KeyEntryMode::kSharedSecurity ? 1 : 0]->setChecked(true);
    }
    if (update.passphraseBox)
        pwd_.passphrase->setText(QString::fromStdString(*update.passphraseBox));
    {
        // The model already holds these values: their change handlers need not run again.
        const QSignalBlocker countBlocker(pwd_.keyCount);
        const QSignalBlocker scrollBlocker(pwd_.keyScroll);
        if (update.countText) pwd_.keyCount->setText(QString::fromStdString(*update.countText));
        if (update.scrollMaximum) pwd_.keyScroll->setMaximum(*update.scrollMaximum);
        if (update.scrollValue) pwd_.keyScroll->setValue(*update.scrollValue);
    }
    if (update.keyOfLabel) pwd_.keyOf->setText(QString::fromStdString(*update.keyOfLabel));
    if (update.modeOptionsVisible) {
        for (auto* option : pwd_.modes) option->setVisible(*update.modeOptionsVisible);
    }
    if (update.countPanelVisible) pwd_.keyCountPanel->setVisible(*update.countPanelVisible);
    if (update.navigatorVisible) {
        for (QWidget* part :
             {static_cast<QWidget*>(pwd_.keyScroll), static_cast<QWidget*>(pwd_.keyArrows[0]),
              static_cast<QWidget*>(pwd_.keyArrows[1]), static_cast<QWidget*>(pwd_.keyOf)}) {
            part->setVisible(*update.navigatorVisible);
        }
    }
    if (update.keepFocus) {
        // Set again once the focus change that is being refused has finished.
        QTimer::singleShot(0, pwd_.keyCount, [this] { pwd_.keyCount->setFocus(); });
    }
    if (update.focus) {
        (*update.focus == KeyEntryFocus::kCountBox ? static_cast<QWidget*>(pwd_.keyCount)
                                                   : pwd_.passphrase)
            ->setFocus();
    }
    if (update.messageId != 0) {
        services_.ShowMessage(this, ResText(update.messageId), MessageButtons::Ok,
                              MessageIcon::Warning, kProductName);
    }
}

void FCrypt::Localize() {
    LocalizeForm(this);
    const auto setTitle = [](LightTab* tabs, int index, int id) {
        try {
            tabs->setCaption(index, QString::fromStdString(GetResText(id)));
        } catch (const std::exception&) {
            // a title without text in this language keeps the previous one
        }
    };
    setTitle(mainTabs_, 1, ids::kTabText);
    setTitle(mainTabs_, 0, ids::kTabFiles);
    setTitle(files_.tabs, 0, ids::kTabEncrypt);
    setTitle(files_.tabs, 1, ids::kTabDecrypt);
    PwdBewert(pwd_.passphrase->text());
}

// Every open window follows, this one through LanguageChanged.
void FCrypt::SwitchLanguage(int languageOffset) {
    LanguageSwitch::Instance().Switch(languageOffset);
}

void FCrypt::LanguageChanged() {
    MarkLanguageFlag(this);
    Localize();
}

void FCrypt::ShowWelcome() {
    auto* welcome = new WelcomeWindow(services_, [this] {
        show();
        raise();
        activateWindow();
    });
    CentreOnScreenOf(welcome, this);
    welcome->show();
}

void FCrypt::OpenOnlineVersion() {
    services_.ShowMessage(this, ResText(ids::kAuthorizeCertificate), MessageButtons::Ok,
                          MessageIcon::None, kProductName);
    services_.OpenUrl(QUrl(kOnlineVersionUrl));
}

}  // namespace sealwise::gui
