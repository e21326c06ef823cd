#pragma once
// Which panels and buttons of the main window the two tab strips show. The rules work on the
// visibility the window had before (the generator button keeps its state on the text tab), so
// this class holds it, keyed by the controls' names. The passphrase mode's controls follow the
// key entry (SharedKeyEntry), which the same tab changes drive.
#include <map>
#include <string>

namespace sealwise::gui {

class MainNavigation {
  public:
    static constexpr int kFilesTab = 0;
    static constexpr int kTextTab = 1;
    static constexpr int kEncryptTab = 0;
    static constexpr int kDecryptTab = 1;

    MainNavigation();

    // Main tab change, without the file tab change that the files tab runs afterwards.
    void ApplyMainTab(int mainTab);
    // File tab change.
    void ApplyFileTab(int fileTab);

    bool Visible(const std::string& name) const;
    const std::map<std::string, bool>& All() const { return visible_; }

  private:
    void Set(std::initializer_list<const char*> names, bool visible);

    std::map<std::string, bool> visible_;
};

}  // namespace sealwise::gui
