#include "gui/main/main_navigation.h"

namespace sealwise::gui {

MainNavigation::MainNavigation() {
    // The window's first state: files / encrypt with one passphrase.
    Set({"Frame_1", "FramFileEnrypt", "Command4", "cmdPassgen"}, true);
    Set({"Frame_0", "FramFileDecrypt", "Command1", "Command2", "Command5", "LblLink", "cmdMail",
         "optMults_0", "optMults_1", "pctSharedSecurity", "KeyScroll", "lblNextKey_0",
         "lblNextKey_1", "lblKeyOf"},
        false);
}

void MainNavigation::Set(std::initializer_list<const char*> names, bool visible) {
    for (const char* name : names) visible_[name] = visible;
}

bool MainNavigation::Visible(const std::string& name) const {
    const auto found = visible_.find(name);
    return found != visible_.end() && found->second;
}

void MainNavigation::ApplyMainTab(int mainTab) {
    Set({"Frame_0", "Frame_1"}, false);
    const bool files = mainTab == kFilesTab;
    const bool text = mainTab == kTextTab;
    Set({"Frame_1", "Command4", "Command5"}, files);
    Set({"Frame_0", "Command1", "Command2", "LblLink", "cmdMail"}, text);
    // The text tab offers no mode choice; the mode itself stays as it was.
    if (text) Set({"optMults_0", "optMults_1", "pctSharedSecurity"}, false);
}

void MainNavigation::ApplyFileTab(int fileTab, bool sharedSecurity) {
    const bool encrypt = fileTab == kEncryptTab;
    const bool decrypt = fileTab == kDecryptTab;
    Set({"optMults_0", "optMults_1"}, decrypt);
    Set({"cmdPassgen"}, encrypt);
    if (decrypt && sharedSecurity) Set({"pctSharedSecurity"}, true);
    Set({"FramFileEnrypt", "Command4"}, encrypt);
    Set({"FramFileDecrypt", "Command5"}, decrypt);
}

void MainNavigation::ApplyMode(bool sharedSecurity) {
    Set({"pctSharedSecurity", "KeyScroll", "lblNextKey_0", "lblNextKey_1", "lblKeyOf"},
        sharedSecurity);
}

}  // namespace sealwise::gui
