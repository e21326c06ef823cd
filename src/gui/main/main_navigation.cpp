#include "gui/main/main_navigation.h"

namespace sealwise::gui {

MainNavigation::MainNavigation() {
    // The window's first state: files / encrypt with one passphrase.
    Set({"Frame_1", "FramFileEnrypt", "Command4", "cmdPassgen"}, true);
    Set({"Frame_0", "FramFileDecrypt", "Command1", "Command2", "Command5", "LblLink", "cmdMail"},
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
}

void MainNavigation::ApplyFileTab(int fileTab) {
    const bool encrypt = fileTab == kEncryptTab;
    const bool decrypt = fileTab == kDecryptTab;
    Set({"cmdPassgen"}, encrypt);
    Set({"FramFileEnrypt", "Command4"}, encrypt);
    Set({"FramFileDecrypt", "Command5"}, decrypt);
}

}  // namespace sealwise::gui
