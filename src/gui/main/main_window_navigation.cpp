// MainWindow: tab changes, language switch and the title bar's buttons.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include "app/msg.h"
#include "app/strings.h"
#include "gui/about/welcome_window.h"
#include "gui/app/desktop_services.h"
#include "gui/app/language_flags.h"
#include "gui/app/language_switch.h"
#include "gui/app/localizer.h"
#include "gui/app/window_placement.h"
#include "gui/controls/light_tab.h"
#include "gui/main/decrypt_files_page.h"
#include "gui/main/encrypt_files_page.h"
#include "gui/main/main_window.h"
#include "gui/main/passphrase_controller.h"
#include "gui/main/text_page.h"

namespace sealwise::gui {

void MainWindow::MainTabChanged(int mainTab) {
    navigation_.ApplyMainTab(mainTab);
    if (mainTab == MainNavigation::kFilesTab) {
        FileTabChanged(files_.tabs->ActiveTab());
    } else {
        passphrase_->ApplyKeyEntry(passphrase_->KeyEntry().OnTextTabSelected());
    }
    ApplyVisibility();
}

void MainWindow::FileTabChanged(int fileTab) {
    // Encryption always uses one passphrase; the key entry switches the mode back for it.
    passphrase_->ApplyKeyEntry(passphrase_->KeyEntry().OnFileTabSelected(
        fileTab == MainNavigation::kEncryptTab ? FileTab::kEncrypt : FileTab::kDecrypt));
    navigation_.ApplyFileTab(fileTab);
    ApplyVisibility();
}

bool MainWindow::SharedSecuritySelected() const { return passphrase_->SharedSecurity(); }

SharedKeyEntry& MainWindow::KeyEntry() { return passphrase_->KeyEntry(); }

void MainWindow::ApplyKeyEntry(const KeyEntryUpdate& update) { passphrase_->ApplyKeyEntry(update); }

void MainWindow::SelectFilePage(int fileTab) {
    mainTabs_->setActiveTab(MainNavigation::kFilesTab);
    files_.tabs->setActiveTab(fileTab);
}

void MainWindow::ShowFilePage(int fileTab) {
    SelectFilePage(fileTab);
    MainTabChanged(MainNavigation::kFilesTab);
}

void MainWindow::ApplyVisibility() {
    const PanelVisibility& visible = navigation_.Visible();
    const PassphrasePanel& buttons = passphrase_->Panel();
    text_->Panel().frame->setVisible(visible.textPanel);
    files_.frame->setVisible(visible.filePanel);
    files_.encrypt.page->setVisible(visible.encryptPage);
    files_.decrypt.page->setVisible(visible.decryptPage);
    buttons.encryptText->setVisible(visible.encryptText);
    buttons.decryptText->setVisible(visible.decryptText);
    buttons.mail->setVisible(visible.mail);
    buttons.onlineLink->setVisible(visible.onlineLink);
    buttons.encryptFiles->setVisible(visible.encryptFiles);
    buttons.decryptFiles->setVisible(visible.decryptFiles);
    buttons.generate->setVisible(visible.generate);
}

void MainWindow::Localize() {
    LocalizeForm(this);
    const auto setTitle = [](LightTab* tabs, int index, Msg id) {
        try {
            tabs->setCaption(index, QString::fromStdString(GetResText(id)));
        } catch (const std::exception&) {
            // a title without text in this language keeps the previous one
        }
    };
    setTitle(mainTabs_, 1, Msg::TabText);
    setTitle(mainTabs_, 0, Msg::TabFiles);
    setTitle(files_.tabs, 0, Msg::TabEncrypt);
    setTitle(files_.tabs, 1, Msg::TabDecrypt);
    passphrase_->RatePassphrase(passphrase_->Panel().passphrase->text());
}

// Every open window follows, this one through LanguageChanged.
void MainWindow::SwitchLanguage(int languageOffset) {
    LanguageSwitch::Instance().Switch(languageOffset);
}

void MainWindow::LanguageChanged() {
    MarkLanguageFlag(this);
    Localize();
}

void MainWindow::ShowWelcome() {
    auto* welcome = new WelcomeWindow(services_, [this] {
        show();
        raise();
        activateWindow();
    });
    CentreOnScreenOf(welcome, this);
    welcome->show();
}

void MainWindow::OpenOnlineVersion() {
    services_.ShowMessage(this, ResText(Msg::AuthorizeCertificate), MessageButtons::Ok,
                          MessageIcon::None, kProductName);
    services_.OpenUrl(QUrl(kOnlineVersionUrl));
}

}  // namespace sealwise::gui
