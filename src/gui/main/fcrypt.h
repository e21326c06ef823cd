#pragma once
// FCrypt, the main window: frameless with rounded corners and its own title bar; the main tab
// strip switches between file and text work, the file tab strip between encrypting and
// decrypting; below them the passphrase panel, and the working display while a job runs.
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "gui/app/command_line.h"
#include "gui/app/desktop_services.h"
#include "gui/jobs/scan_hooks.h"
#include "gui/main/main_navigation.h"
#include "gui/main/passphrase_panel.h"
#include "gui/main/title_bar.h"
#include "gui/main/work_panels.h"
#include "models/input_list.h"
#include "passphrase/shared_key_entry.h"
#include "util/errors.h"

namespace sealwise {
struct PassphraseRating;
}  // namespace sealwise

namespace sealwise::gui {

class DesktopServices;
class JobThread;
class LightTab;
class ProgressRelay;
class WorkingDisplay;
class RoundedPanel;

class FCrypt : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize kWindowSize{680, 660};
    static constexpr int kResultNoteMilliseconds = 10000;
    static inline const QString kOnlineVersionUrl =
        QStringLiteral("https://sealwise.example/online");

    // Builds and loads the window; `commandLine` is the program's arguments joined by blanks.
    FCrypt(DesktopServices& services, const std::string& commandLine, QWidget* parent = nullptr);
    // The same with the arguments one by one, so that several paths stay apart.
    FCrypt(DesktopServices& services, const std::vector<std::string>& arguments,
           QWidget* parent = nullptr);
    // Cancels a running job and waits for it.
    ~FCrypt() override;

    // --- Busy state ---
    void SetBusy(bool busy, bool scanning);
    bool IsBusy() const { return busy_; }
    bool cancelRequested() const { return cancelRequested_.load(); }
    std::atomic<bool>& CancelFlag() { return cancelRequested_; }
    WorkingDisplay* Working() const { return working_; }
    // Whether a text or file job is running on the job thread.
    bool JobRunning() const;

    // --- Navigation ---
    void MainTabChanged(int mainTab);
    void FileTabChanged(int fileTab);
    // Localises the window, sets the tab titles and rates the passphrase again.
    void Localize();
    void SwitchLanguage(int languageOffset);
    // The steps of this window after a language switch made in any window.
    void LanguageChanged();
    bool SharedSecuritySelected() const;
    // The passphrase mode and the shared keys.
    SharedKeyEntry& KeyEntry() { return keyEntry_; }
    // Shows what a handler of the key entry changed.
    void ApplyKeyEntry(const KeyEntryUpdate& update);

    // Rates a passphrase and shows the verdict, stars and lamps.
    void PwdBewert(const QString& Strpwd);
    void ShowQuality(const PassphraseRating& rating);

    // Where the passphrase controls lie on the screen (hint, box, tools, rating).
    QRect PassphraseArea() const;

    // The files to encrypt, bound to LstCryptFiles and TxtEncrFileName.
    const InputList& Inputs() const { return inputs_; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildWindow();
    void ConnectHandlers();
    FCrypt(DesktopServices& services, const CommandLineRequest& request, QWidget* parent);
    void Load(const CommandLineRequest& request);
    void ApplyCommandLine(const CommandLineRequest& request);
    void AddPathsFromCommandLine(const std::vector<std::string>& paths);
    QWidget* FirstUsefulControl() const;
    void AddPathFromCommandLine(const QString& path);
    void ApplyVisibility();
    void ModeOptionToggled(bool sharedSecurity);
    void PassphraseEdited(const QString& text);
    void StartWindowDrag(QMouseEvent* event);
    void ShowWelcome();
    void OpenOnlineVersion();
    void CancelClicked();
    void PlaceWorkingDisplay();

    // Jobs (fcrypt_jobs.cpp): the busy state, the job thread and the end of every job.
    void RunJob(std::function<void()> work, std::function<void()> cancel,
                std::function<void()> finished);
    void EndJob();
    // The passphrase box's text, taken out once; the box is emptied.
    std::string TakePassphrase();
    void ShowMessageId(int stringId, MessageIcon icon);
    // A note beside the action buttons that a job worked; no box to close, it goes by itself.
    void ShowResultNote(int stringId);
    void ShowFailure(const SealError& error);

    // Text tab (fcrypt_text.cpp).
    void ConnectTextHandlers();
    void EncryptTextClicked();
    void DecryptTextClicked();
    void SetResultsText(const QString& text, bool mailable);

    // Input list of the encrypt page (fcrypt_input_list.cpp).
    void ConnectInputListHandlers();
    bool FilterInputListEvent(QObject* watched, QEvent* event);
    void RefreshInputList();
    void AddClicked();
    void RemoveClicked();
    void DeleteKeyInList();
    void DropOnList(const std::vector<std::string>& paths);
    void DropOnWindow(const std::vector<std::string>& paths);
    void ShowDuplicateNotices(int count);
    void ShowFilePage(int fileTab);
    void BrowseContainerClicked();

    // Encrypting files (fcrypt_encrypt_files.cpp).
    void EncryptFilesClicked();
    bool ConfirmContainerName();

    // Decrypt page (fcrypt_decrypt_files.cpp).
    void ConnectDecryptHandlers();
    void DecryptFileEdited(const QString& text);
    void ValidateOutputPath();
    void BrowseDecryptFileClicked();
    void BrowseOutputPathClicked();
    void DecryptFilesClicked();

    // Passphrase tools and key entry (fcrypt_passphrase.cpp).
    void ConnectPassphraseHandlers();
    bool FilterPassphraseEvent(QObject* watched, QEvent* event);
    void GenerateClicked();

    DesktopServices& services_;
    RoundedPanel* background_ = nullptr;
    TitleBar title_;
    LightTab* mainTabs_ = nullptr;  // TabStr
    TextPanel text_;
    FilePanel files_;
    PassphrasePanel pwd_;
    WorkingDisplay* working_ = nullptr;
    MainNavigation navigation_;
    SharedKeyEntry keyEntry_;
    InputList inputs_;
    ThrottledEventPump scanPump_;
    ScanBusyState scanBusy_;
    std::atomic<bool> cancelRequested_{false};
    std::function<void()> runningCancel_;  // asks the running job to stop
    JobThread* jobs_ = nullptr;
    ProgressRelay* relay_ = nullptr;
    QTimer* noteTimer_ = nullptr;  // hides the result note
    bool jobActive_ = false;
    bool closeAfterJob_ = false;
    bool busy_ = false;
    bool waitCursorShown_ = false;
    bool settingResults_ = false;  // txtResults is being replaced, not typed into
};

}  // namespace sealwise::gui
