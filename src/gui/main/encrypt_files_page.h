#pragma once
// EncryptFilesPage (FramFileEnrypt of form FCrypt): the list of files to encrypt
// (LstCryptFiles) and the container name, bound to the input list model — the Add and Remove
// buttons, the Delete key, drops and the command line — and encrypting the list into one
// container (Command4).
#include <QObject>
#include <string>
#include <vector>

#include "gui/jobs/scan_hooks.h"
#include "gui/main/work_panels.h"
#include "models/input_list.h"

class QMimeData;

namespace sealwise::gui {

class DecryptFilesPage;
class MainWindow;
class PassphraseController;

class EncryptFilesPage : public QObject {
    Q_OBJECT

  public:
    EncryptFilesPage(MainWindow& window, EncryptPanel panel, PassphraseController& passphrase,
                     DecryptFilesPage& decryptPage);

    const EncryptPanel& Panel() const { return panel_; }
    const InputList& Inputs() const { return inputs_; }

    // Files dropped on the window outside the list.
    void DropOnWindow(const std::vector<std::string>& paths);
    // One path from the command line, listed for encryption.
    void AddPathFromCommandLine(const QString& path);
    // Several paths from the file manager.
    void AddPathsFromCommandLine(const std::vector<std::string>& paths);

    // The local files of a drop, in the order given.
    static std::vector<std::string> DroppedPaths(const QMimeData* data);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RefreshList();
    void AddClicked();
    void RemoveClicked();
    void DeleteKeyInList();
    void DropOnList(const std::vector<std::string>& paths);
    void ShowDuplicateNotices(int count);
    void BrowseContainerClicked();
    // encrypt_files_run.cpp
    void EncryptClicked();
    bool ConfirmContainerName();

    MainWindow& window_;
    EncryptPanel panel_;
    PassphraseController& passphrase_;
    DecryptFilesPage& decryptPage_;
    InputList inputs_;
    ThrottledEventPump scanPump_;
    ScanBusyState scanBusy_;
};

}  // namespace sealwise::gui
