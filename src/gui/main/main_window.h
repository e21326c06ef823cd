#pragma once
// MainWindow (form FCrypt), the main window: frameless with rounded corners and its own title
// bar; the main tab strip switches between file and text work, the file tab strip between
// encrypting and decrypting; below them the passphrase panel, and the working display while a
// job runs. The window owns the busy state and the job thread; each page's controller owns its
// widgets and handlers.
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/app/command_line.h"
#include "gui/app/desktop_services.h"
#include "gui/jobs/scan_hooks.h"
#include "gui/main/main_navigation.h"
#include "gui/main/title_bar.h"
#include "gui/main/work_panels.h"
#include "models/input_list.h"
#include "passphrase/shared_key_entry.h"
#include "util/errors.h"

namespace sealwise {
struct PassphraseRating;
}  // namespace sealwise

namespace sealwise::gui {

class DecryptFilesPage;
class EncryptFilesPage;
class JobThread;
class LightTab;
class PassphraseController;
class ProgressRelay;
class TextPage;
class WorkingDisplay;
class RoundedPanel;

class MainWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize kWindowSize{680, 660};
    static constexpr int kResultNoteMilliseconds = 10000;
    static inline const QString kOnlineVersionUrl =
        QStringLiteral("https://sealwise.example/online");

    // Builds and loads the window; `commandLine` is the program's arguments joined by blanks.
    MainWindow(DesktopServices& services, const std::string& commandLine,
               QWidget* parent = nullptr);
    // The same with the arguments one by one, so that several paths stay apart.
    MainWindow(DesktopServices& services, const std::vector<std::string>& arguments,
               QWidget* parent = nullptr);
    // Cancels a running job and waits for it.
    ~MainWindow() override;

    // --- Busy state ---
    void SetBusy(bool busy, bool scanning);
    bool IsBusy() const { return busy_; }
    bool cancelRequested() const { return cancelRequested_.load(); }
    std::atomic<bool>& CancelFlag() { return cancelRequested_; }
    WorkingDisplay* Working() const { return working_; }
    // Whether a text or file job is running on the job thread.
    bool JobRunning() const;

    // --- Jobs, for the pages ---
    // Runs work on the job thread; cancel reaches the running job, finished runs on the
    // window's thread once it has ended (after which the window is idle again).
    void RunJob(std::function<void()> work, std::function<void()> cancel,
                std::function<void()> finished);
    // Idle again: the last progress shown, the passphrase box empty.
    void EndJob();
    JobThread& Jobs() { return *jobs_; }
    ProgressRelay& Relay() { return *relay_; }
    DesktopServices& Services() { return services_; }

    // --- Messages ---
    void ShowMessageId(Msg stringId, MessageIcon icon);
    // A note beside the action buttons that a job worked; no box to close, it goes by itself.
    void ShowResultNote(Msg stringId);
    void ShowFailure(const SealError& error);

    // --- Navigation ---
    void MainTabChanged(int mainTab);
    void FileTabChanged(int fileTab);
    // Selects the files tab and a page of it.
    void SelectFilePage(int fileTab);
    // The same, applying the tab change at once.
    void ShowFilePage(int fileTab);
    // Localises the window, sets the tab titles and rates the passphrase again.
    void Localize();
    void SwitchLanguage(int languageOffset);
    // The steps of this window after a language switch made in any window.
    void LanguageChanged();

    // --- Passphrase ---
    PassphraseController& Passphrase() { return *passphrase_; }
    bool SharedSecuritySelected() const;
    // The passphrase mode and the shared keys.
    SharedKeyEntry& KeyEntry();
    // Shows what a handler of the key entry changed.
    void ApplyKeyEntry(const KeyEntryUpdate& update);
    // Where the passphrase controls lie on the screen (hint, box, tools, rating).
    QRect PassphraseArea() const;

    // The files to encrypt, bound to LstCryptFiles and TxtEncrFileName.
    const InputList& Inputs() const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    MainWindow(DesktopServices& services, const CommandLineRequest& request, QWidget* parent);
    void BuildWindow();
    void ConnectHandlers();
    void Load(const CommandLineRequest& request);
    void ApplyCommandLine(const CommandLineRequest& request);
    QWidget* FirstUsefulControl() const;
    void ApplyVisibility();
    void StartWindowDrag(QMouseEvent* event);
    void ShowWelcome();
    void OpenOnlineVersion();
    void CancelClicked();
    void PlaceWorkingDisplay();

    DesktopServices& services_;
    RoundedPanel* background_ = nullptr;
    TitleBar title_;
    LightTab* mainTabs_ = nullptr;  // TabStr
    FilePanel files_;
    WorkingDisplay* working_ = nullptr;
    MainNavigation navigation_;
    std::unique_ptr<PassphraseController> passphrase_;
    std::unique_ptr<TextPage> text_;
    std::unique_ptr<EncryptFilesPage> encrypt_;
    std::unique_ptr<DecryptFilesPage> decrypt_;
    std::atomic<bool> cancelRequested_{false};
    std::function<void()> runningCancel_;  // asks the running job to stop
    JobThread* jobs_ = nullptr;
    ProgressRelay* relay_ = nullptr;
    QTimer* noteTimer_ = nullptr;  // hides the result note
    bool jobActive_ = false;
    bool closeAfterJob_ = false;
    bool busy_ = false;
    bool waitCursorShown_ = false;
};

}  // namespace sealwise::gui
