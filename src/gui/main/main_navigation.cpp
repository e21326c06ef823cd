#include "gui/main/main_navigation.h"

namespace sealwise::gui {

void MainNavigation::ApplyMainTab(int mainTab) {
    const bool files = mainTab == kFilesTab;
    const bool text = mainTab == kTextTab;
    visible_.filePanel = visible_.encryptFiles = visible_.decryptFiles = files;
    visible_.textPanel = visible_.encryptText = visible_.decryptText = text;
    visible_.onlineLink = visible_.mail = text;
}

void MainNavigation::ApplyFileTab(int fileTab) {
    const bool encrypt = fileTab == kEncryptTab;
    const bool decrypt = fileTab == kDecryptTab;
    visible_.generate = encrypt;
    visible_.encryptPage = visible_.encryptFiles = encrypt;
    visible_.decryptPage = visible_.decryptFiles = decrypt;
}

}  // namespace sealwise::gui
