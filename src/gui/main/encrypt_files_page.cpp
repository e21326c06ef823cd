#include "gui/main/encrypt_files_page.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include "gui/app/localizer.h"
#include "gui/controls/light_tab.h"
#include "gui/main/container_dialogs.h"
#include "gui/main/decrypt_files_page.h"
#include "gui/main/main_window.h"
#include "gui/main/passphrase_controller.h"

namespace sealwise::gui {

namespace {

bool HoldsFiles(const QMimeData* data) { return !EncryptFilesPage::DroppedPaths(data).empty(); }

}  // namespace

std::vector<std::string> EncryptFilesPage::DroppedPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

EncryptFilesPage::EncryptFilesPage(MainWindow& window, EncryptPanel panel,
                                   PassphraseController& passphrase, DecryptFilesPage& decryptPage)
    : window_(window), panel_(panel), passphrase_(passphrase), decryptPage_(decryptPage) {
    inputs_.SetCancelFlag(&window_.CancelFlag());
    inputs_.SetPumpHook(&scanPump_);
    inputs_.SetScanObserver(&scanBusy_);
    scanBusy_.onChange = [this](bool scanning) { window_.SetBusy(scanning, true); };

    connect(panel_.add, &QPushButton::clicked, this, &EncryptFilesPage::AddClicked);
    connect(panel_.remove, &QPushButton::clicked, this, &EncryptFilesPage::RemoveClicked);
    connect(panel_.browseContainer, &QPushButton::clicked, this,
            &EncryptFilesPage::BrowseContainerClicked);
    connect(panel_.containerName, &QLineEdit::textEdited, this,
            [this](const QString& text) { inputs_.containerName = text.toStdString(); });
    connect(panel_.directoryMode, &QRadioButton::toggled, this, [this](bool directories) {
        inputs_.mode = directories ? InputList::Mode::kDirectories : InputList::Mode::kFiles;
    });
    connect(passphrase_.Panel().encryptFiles, &QPushButton::clicked, this,
            &EncryptFilesPage::EncryptClicked);
    panel_.inputList->installEventFilter(this);
    panel_.inputList->viewport()->installEventFilter(this);
    panel_.inputList->viewport()->setAcceptDrops(true);
    panel_.remove->installEventFilter(this);
}

// The Delete key in the list, "." on the Remove button, and drops on the list.
bool EncryptFilesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_.inputList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteKeyInList();
        return true;
    }
    if (watched == panel_.remove && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == ".") {
        RemoveClicked();
        return true;
    }
    // Nothing is added while a job or a directory walk runs.
    if (watched != panel_.inputList->viewport() || window_.IsBusy()) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!HoldsFiles(drag->mimeData())) return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto paths = DroppedPaths(drop->mimeData());
            if (paths.empty()) return false;
            drop->acceptProposedAction();
            DropOnList(paths);
            return true;
        }
        default:
            return false;
    }
}

// Shows the model: the listed paths, the container name and the mode options.
void EncryptFilesPage::RefreshList() {
    panel_.inputList->clear();
    for (const std::string& path : inputs_.paths()) {
        panel_.inputList->addItem(QString::fromStdString(path));
    }
    panel_.containerName->setText(QString::fromStdString(inputs_.containerName));
    (inputs_.mode == InputList::Mode::kFiles ? panel_.filesMode : panel_.directoryMode)
        ->setChecked(true);
    panel_.filesMode->setEnabled(inputs_.modeOptionsEnabled);
    panel_.directoryMode->setEnabled(inputs_.modeOptionsEnabled);
}

void EncryptFilesPage::ShowDuplicateNotices(int count) {
    for (int i = 0; i < count; ++i)
        window_.ShowMessageId(Msg::DuplicateSkipped, MessageIcon::Information);
}

void EncryptFilesPage::AddClicked() {
    if (!panel_.filesMode->isEnabled() && !panel_.directoryMode->isEnabled()) return;
    inputs_.containerName = panel_.containerName->text().toStdString();
    inputs_.BeginAdd();
    bool duplicate = false;
    if (inputs_.mode == InputList::Mode::kFiles) {
        const QStringList chosen = window_.Services().OpenFiles(
            &window_, ResText(Msg::AllFilesFilter), ResText(Msg::SelectFileToEncrypt), {});
        for (const QString& path : chosen) duplicate |= inputs_.AddChosenFiles(path.toStdString());
    } else {
        const QString folder = window_.Services().BrowseFolder(&window_, QString());
        duplicate = inputs_.AddChosenFolder(folder.toStdString());
    }
    RefreshList();
    ShowDuplicateNotices(duplicate ? 1 : 0);
}

void EncryptFilesPage::RemoveClicked() {
    std::vector<std::size_t> selected;
    for (const QModelIndex& index : panel_.inputList->selectionModel()->selectedIndexes()) {
        selected.push_back(static_cast<std::size_t>(index.row()));
    }
    const auto select = inputs_.RemoveSelected(selected);
    RefreshList();
    if (select) panel_.inputList->setCurrentRow(static_cast<int>(*select));
}

void EncryptFilesPage::DeleteKeyInList() {
    const int current = panel_.inputList->currentRow();
    inputs_.containerName = panel_.containerName->text().toStdString();
    const auto select = inputs_.DeleteCurrent(
        current < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(current)));
    RefreshList();
    if (select) panel_.inputList->setCurrentRow(static_cast<int>(*select));
}

void EncryptFilesPage::DropOnList(const std::vector<std::string>& paths) {
    inputs_.containerName = panel_.containerName->text().toStdString();
    const int notices = inputs_.DropOnList(paths);
    RefreshList();
    ShowDuplicateNotices(notices);
}

void EncryptFilesPage::DropOnWindow(const std::vector<std::string>& paths) {
    inputs_.containerName = panel_.containerName->text().toStdString();
    const InputList::DropResult result = inputs_.DropOnWindow(paths);
    if (result.prepareDecrypt) {
        decryptPage_.Prepare(result.container, result.outputDirectory);
        window_.ShowFilePage(MainNavigation::kDecryptTab);
        return;
    }
    RefreshList();
    ShowDuplicateNotices(result.duplicateNotices);
    if (!inputs_.empty()) window_.ShowFilePage(MainNavigation::kEncryptTab);
}

void EncryptFilesPage::AddPathFromCommandLine(const QString& path) {
    const std::string chosen = path.toStdString();
    const bool duplicate = inputs_.AddPath(chosen);
    inputs_.ProposeOutputName(chosen);
    RefreshList();
    ShowDuplicateNotices(duplicate ? 1 : 0);
}

// Several paths from the file manager: everything else is listed for encryption; of the
// containers the first is prepared for decryption and the others are named, as are paths
// that do not exist.
void EncryptFilesPage::AddPathsFromCommandLine(const std::vector<std::string>& paths) {
    const SortedPaths sorted = SortPaths(paths);
    int duplicates = 0;
    for (const std::string& path : sorted.others) duplicates += inputs_.AddPath(path) ? 1 : 0;
    if (!sorted.others.empty()) inputs_.ProposeOutputName(sorted.others.front());
    RefreshList();
    if (!sorted.containers.empty()) {
        decryptPage_.Prepare(sorted.containers.front(),
                             DirectoryWithSeparator(sorted.containers.front()));
    }
    const bool decrypt = sorted.others.empty() && !sorted.containers.empty();
    window_.SelectFilePage(decrypt ? MainNavigation::kDecryptTab : MainNavigation::kEncryptTab);

    ShowDuplicateNotices(duplicates > 0 ? 1 : 0);
    const auto names = [](auto first, auto last) {
        QStringList quoted;
        for (auto it = first; it != last; ++it) quoted << '"' + QString::fromStdString(*it) + '"';
        return quoted.join(", ");
    };
    if (sorted.containers.size() > 1) {
        window_.Services().ShowMessage(
            &window_,
            ResText(Msg::OneContainerAtATime)
                .replace("%s", names(sorted.containers.begin() + 1, sorted.containers.end())),
            MessageButtons::Ok, MessageIcon::Information, kProductName);
    }
    if (!sorted.missing.empty()) {
        window_.Services().ShowMessage(
            &window_,
            ResText(Msg::PathsNotFound)
                .replace("%s", names(sorted.missing.begin(), sorted.missing.end())),
            MessageButtons::Ok, MessageIcon::Warning, kProductName);
    }
}

// The save dialog for the container; a name without extension gets ".vesk".
void EncryptFilesPage::BrowseContainerClicked() {
    const QString chosen = WithContainerExtension(
        window_.Services().SaveFile(&window_, ContainerDialogFilter(), kProductName, {}));
    if (chosen.isEmpty()) return;
    panel_.containerName->setText(chosen);
    inputs_.containerName = chosen.toStdString();
}

}  // namespace sealwise::gui
