#pragma once
// FCrypt, the main window: frameless with rounded corners and its own title bar; the main tab
// strip switches between file and text work, the file tab strip between encrypting and
// decrypting; below them the passphrase panel, and the working display while a job runs.
#include <QWidget>
#include <atomic>
#include <string>

#include "gui/main/main_navigation.h"
#include "gui/main/passphrase_panel.h"
#include "gui/main/title_bar.h"
#include "gui/main/work_panels.h"
#include "passphrase/rating.h"
#include "passphrase/shared_key_entry.h"

namespace sealwise {
class CRijndael;
}

namespace sealwise::gui {

class DesktopServices;
class LightTab;
class WorkingDisplay;
class ucShape;

class FCrypt : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize kWindowSize{680, 660};
    static inline const QString kOnlineVersionUrl =
        QStringLiteral("https://sealwise.example/online");

    // Builds and loads the window; `commandLine` is the program's arguments joined by blanks.
    FCrypt(DesktopServices& services, const std::string& commandLine, QWidget* parent = nullptr);

    // --- Busy state ---
    void SetBusy(bool busy, bool scanning);
    bool IsBusy() const { return busy_; }
    bool cancelRequested() const { return cancelRequested_.load(); }
    std::atomic<bool>& CancelFlag() { return cancelRequested_; }
    // The cipher object of the running job, reached by Cancel; null when none runs.
    void SetRunningCipher(CRijndael* cipher) { runningCipher_ = cipher; }
    CRijndael* RunningCipher() const { return runningCipher_; }
    WorkingDisplay* Working() const { return working_; }

    // --- Navigation ---
    void MainTabChanged(int mainTab);
    void FileTabChanged(int fileTab);
    // Localises the window, sets the tab titles and rates the passphrase again.
    void Localize();
    void SwitchLanguage(int languageOffset);
    bool SharedSecuritySelected() const;
    // The passphrase mode and the shared keys.
    SharedKeyEntry& KeyEntry() { return keyEntry_; }
    // Shows what a handler of the key entry changed.
    void ApplyKeyEntry(const KeyEntryUpdate& update);

    // Rates a passphrase and shows the verdict, stars and lamps.
    void PwdBewert(const QString& Strpwd);
    void ShowQuality(const PassphraseRating& rating);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildWindow();
    void ConnectHandlers();
    void Load(const std::string& commandLine);
    void ApplyCommandLine(const std::string& commandLine);
    void AddPathFromCommandLine(const QString& path);
    void ApplyVisibility();
    void ModeOptionToggled(bool sharedSecurity);
    void PassphraseEdited(const QString& text);
    void StartWindowDrag(QMouseEvent* event);
    void ShowWelcome();
    void OpenOnlineVersion();
    void CancelClicked();
    void PlaceWorkingDisplay();

    DesktopServices& services_;
    ucShape* background_ = nullptr;
    TitleBar title_;
    LightTab* mainTabs_ = nullptr;  // TabStr
    TextPanel text_;
    FilePanel files_;
    PassphrasePanel pwd_;
    WorkingDisplay* working_ = nullptr;
    MainNavigation navigation_;
    SharedKeyEntry keyEntry_;
    std::atomic<bool> cancelRequested_{false};
    CRijndael* runningCipher_ = nullptr;
    bool busy_ = false;
    bool waitCursorShown_ = false;
};

}  // namespace sealwise::gui
