#pragma once
// Which panels and buttons of the main window the two tab strips show. The rules work on the
// visibility the window had before (some elements keep theirs across a change), so this class
// holds it, keyed by the controls' names.
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
    // File tab change, after the encrypt tab has selected one passphrase.
    void ApplyFileTab(int fileTab, bool sharedSecurity);
    // The shared-security controls follow the chosen mode.
    void ApplyMode(bool sharedSecurity);

    bool Visible(const std::string& name) const;
    const std::map<std::string, bool>& All() const { return visible_; }

private:
    void Set(std::initializer_list<const char*> names, bool visible);

    std::map<std::string, bool> visible_;
};

}  // namespace sealwise::gui
