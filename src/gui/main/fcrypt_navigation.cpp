// FCrypt: tab changes, passphrase mode, language switch and the title bar's buttons.
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/strings.h"
#include "util/secure_wipe.h"
#include "gui/about/frm_about.h"
#include "gui/app/desktop_services.h"
#include "gui/app/language_flags.h"
#include "gui/app/localizer.h"
#include "gui/app/string_ids.h"
#include "gui/controls/light_tab.h"
#include "gui/main/fcrypt.h"

namespace sealwise::gui {

void FCrypt::MainTabChanged(int mainTab) {
    navigation_.ApplyMainTab(mainTab);
    if (mainTab == MainNavigation::kFilesTab) FileTabChanged(files_.tabs->ActiveTab());
    ApplyVisibility();
}

void FCrypt::FileTabChanged(int fileTab) {
    // Encryption always uses one passphrase; selecting it runs the mode switch.
    if (fileTab == MainNavigation::kEncryptTab) pwd_.modes[0]->setChecked(true);
    navigation_.ApplyFileTab(fileTab, SharedSecuritySelected());
    ApplyVisibility();
}

bool FCrypt::SharedSecuritySelected() const { return pwd_.modes[1]->isChecked(); }

void FCrypt::ApplyVisibility() {
    for (const auto& [name, visible] : navigation_.All()) {
        if (auto* widget = findChild<QWidget*>(QString::fromStdString(name))) {
            widget->setVisible(visible);
        }
    }
}

// Switching the mode empties the keys; back to one passphrase also empties the box.
void FCrypt::ModeSwitch(bool sharedSecurity) {
    navigation_.ApplyMode(sharedSecurity);
    ApplyVisibility();
    for (auto& slot : keyStore_.slots) SecureWipe(slot);
    if (!sharedSecurity) pwd_.passphrase->clear();
    (sharedSecurity ? static_cast<QWidget*>(pwd_.keyCount) : pwd_.passphrase)->setFocus();
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

void FCrypt::SwitchLanguage(int languageOffset) {
    SetLanguageOffset(languageOffset);
    MarkLanguageFlag(this);
    Localize();
}

void FCrypt::ShowWelcome() {
    auto* welcome = new FrmAbout(services_, [this] {
        show();
        raise();
        activateWindow();
    });
    welcome->show();
}

void FCrypt::OpenOnlineVersion() {
    services_.ShowMessage(this, ResText(ids::kAuthorizeCertificate), MessageButtons::Ok,
                          MessageIcon::None, kProductName);
    services_.OpenUrl(QUrl(kOnlineVersionUrl));
}

}  // namespace sealwise::gui
