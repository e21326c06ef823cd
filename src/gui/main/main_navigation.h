#pragma once
// Which panels and buttons of the main window the two tab strips show. The rules work on the
// visibility the window had before (the generator button keeps its state on the text tab), so
// this class holds it, one field per control. The passphrase mode's controls follow the key
// entry (SharedKeyEntry), which the same tab changes drive.
namespace sealwise::gui {

// The window's first state: files / encrypt with one passphrase.
struct PanelVisibility {
    bool textPanel = false;     // Frame_0
    bool filePanel = true;      // Frame_1
    bool encryptPage = true;    // FramFileEnrypt
    bool decryptPage = false;   // FramFileDecrypt
    bool encryptText = false;   // Command1
    bool decryptText = false;   // Command2
    bool mail = false;          // cmdMail
    bool onlineLink = false;    // LblLink
    bool encryptFiles = true;   // Command4
    bool decryptFiles = false;  // Command5
    bool generate = true;       // cmdPassgen
    friend bool operator==(const PanelVisibility&, const PanelVisibility&) = default;
};

class MainNavigation {
  public:
    static constexpr int kFilesTab = 0;
    static constexpr int kTextTab = 1;
    static constexpr int kEncryptTab = 0;
    static constexpr int kDecryptTab = 1;

    // Main tab change, without the file tab change that the files tab runs afterwards.
    void ApplyMainTab(int mainTab);
    // File tab change.
    void ApplyFileTab(int fileTab);

    const PanelVisibility& Visible() const { return visible_; }

  private:
    PanelVisibility visible_;
};

}  // namespace sealwise::gui
