// FCrypt: the list of files to encrypt (LstCryptFiles) and the container name, bound to the
// input list model: the Add and Remove buttons, the Delete key, drops and the command line.
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
#include "gui/main/fcrypt.h"

namespace sealwise::gui {

namespace {


// The local files of a drop, in the order given.
std::vector<std::string> DroppedPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

bool HoldsFiles(const QMimeData* data) { return !DroppedPaths(data).empty(); }

}  // namespace

void FCrypt::ConnectInputListHandlers() {
    connect(files_.add, &QPushButton::clicked, this, &FCrypt::AddClicked);
    connect(files_.remove, &QPushButton::clicked, this, &FCrypt::RemoveClicked);
    connect(files_.browseContainer, &QPushButton::clicked, this, &FCrypt::BrowseContainerClicked);
    connect(files_.containerName, &QLineEdit::textEdited, this,
            [this](const QString& text) { inputs_.containerName = text.toStdString(); });
    connect(files_.directoryMode, &QRadioButton::toggled, this, [this](bool directories) {
        inputs_.mode = directories ? InputList::Mode::kDirectories : InputList::Mode::kFiles;
    });
    files_.inputList->installEventFilter(this);
    files_.inputList->viewport()->installEventFilter(this);
    files_.inputList->viewport()->setAcceptDrops(true);
    files_.remove->installEventFilter(this);
    setAcceptDrops(true);
}

// The Delete key in the list, "." on the Remove button, and drops on the list.
bool FCrypt::FilterInputListEvent(QObject* watched, QEvent* event) {
    if (watched == files_.inputList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteKeyInList();
        return true;
    }
    if (watched == files_.remove && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == ".") {
        RemoveClicked();
        return true;
    }
    // Nothing is added while a job or a directory walk runs.
    if (watched != files_.inputList->viewport() || busy_) return false;
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

void FCrypt::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && HoldsFiles(event->mimeData())) event->acceptProposedAction();
}

void FCrypt::dropEvent(QDropEvent* event) {
    const auto paths = DroppedPaths(event->mimeData());
    if (paths.empty() || busy_) return;
    event->acceptProposedAction();
    DropOnWindow(paths);
}

// Shows the model: the listed paths, the container name and the mode options.
void FCrypt::RefreshInputList() {
    files_.inputList->clear();
    for (const std::string& path : inputs_.paths()) {
        files_.inputList->addItem(QString::fromStdString(path));
    }
    files_.containerName->setText(QString::fromStdString(inputs_.containerName));
    (inputs_.mode == InputList::Mode::kFiles ? files_.filesMode : files_.directoryMode)
        ->setChecked(true);
    files_.filesMode->setEnabled(inputs_.modeOptionsEnabled);
    files_.directoryMode->setEnabled(inputs_.modeOptionsEnabled);
}

void FCrypt::ShowDuplicateNotices(int count) {
    for (int i = 0; i < count; ++i) ShowMessageId(Msg::DuplicateSkipped, MessageIcon::Information);
}

void FCrypt::AddClicked() {
    if (!files_.filesMode->isEnabled() && !files_.directoryMode->isEnabled()) return;
    inputs_.containerName = files_.containerName->text().toStdString();
    inputs_.BeginAdd();
    bool duplicate = false;
    if (inputs_.mode == InputList::Mode::kFiles) {
        const QStringList chosen =
            services_.OpenFiles(this, ResText(Msg::AllFilesFilter), ResText(Msg::SelectFileToEncrypt), {});
        for (const QString& path : chosen) duplicate |= inputs_.AddChosenFiles(path.toStdString());
    } else {
        const QString folder = services_.BrowseFolder(this, QString());
        duplicate = inputs_.AddChosenFolder(folder.toStdString());
    }
    RefreshInputList();
    ShowDuplicateNotices(duplicate ? 1 : 0);
}

void FCrypt::RemoveClicked() {
    std::vector<std::size_t> selected;
    for (const QModelIndex& index : files_.inputList->selectionModel()->selectedIndexes()) {
        selected.push_back(static_cast<std::size_t>(index.row()));
    }
    const auto select = inputs_.RemoveSelected(selected);
    RefreshInputList();
    if (select) files_.inputList->setCurrentRow(static_cast<int>(*select));
}

void FCrypt::DeleteKeyInList() {
    const int current = files_.inputList->currentRow();
    inputs_.containerName = files_.containerName->text().toStdString();
    const auto select = inputs_.DeleteCurrent(
        current < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(current)));
    RefreshInputList();
    if (select) files_.inputList->setCurrentRow(static_cast<int>(*select));
}

void FCrypt::DropOnList(const std::vector<std::string>& paths) {
    inputs_.containerName = files_.containerName->text().toStdString();
    const int notices = inputs_.DropOnList(paths);
    RefreshInputList();
    ShowDuplicateNotices(notices);
}

void FCrypt::DropOnWindow(const std::vector<std::string>& paths) {
    inputs_.containerName = files_.containerName->text().toStdString();
    const InputList::DropResult result = inputs_.DropOnWindow(paths);
    if (result.prepareDecrypt) {
        files_.decryptFile->setText(QString::fromStdString(result.container));
        files_.outputPath->setText(QString::fromStdString(result.outputDirectory));
        ShowFilePage(MainNavigation::kDecryptTab);
        return;
    }
    RefreshInputList();
    ShowDuplicateNotices(result.duplicateNotices);
    if (!inputs_.empty()) ShowFilePage(MainNavigation::kEncryptTab);
}

void FCrypt::ShowFilePage(int fileTab) {
    mainTabs_->setActiveTab(MainNavigation::kFilesTab);
    files_.tabs->setActiveTab(fileTab);
    MainTabChanged(MainNavigation::kFilesTab);
}

void FCrypt::AddPathFromCommandLine(const QString& path) {
    const std::string chosen = path.toStdString();
    const bool duplicate = inputs_.AddPath(chosen);
    inputs_.ProposeOutputName(chosen);
    RefreshInputList();
    ShowDuplicateNotices(duplicate ? 1 : 0);
}

// Several paths from the file manager: everything else is listed for encryption; of the
// containers the first is prepared for decryption and the others are named, as are paths
// that do not exist.
void FCrypt::AddPathsFromCommandLine(const std::vector<std::string>& paths) {
    const SortedPaths sorted = SortPaths(paths);
    int duplicates = 0;
    for (const std::string& path : sorted.others) duplicates += inputs_.AddPath(path) ? 1 : 0;
    if (!sorted.others.empty()) inputs_.ProposeOutputName(sorted.others.front());
    RefreshInputList();
    if (!sorted.containers.empty()) {
        files_.decryptFile->setText(QString::fromStdString(sorted.containers.front()));
        files_.outputPath->setText(
            QString::fromStdString(DirectoryWithSeparator(sorted.containers.front())));
    }
    const bool decrypt = sorted.others.empty() && !sorted.containers.empty();
    mainTabs_->setActiveTab(MainNavigation::kFilesTab);
    files_.tabs->setActiveTab(decrypt ? MainNavigation::kDecryptTab : MainNavigation::kEncryptTab);

    ShowDuplicateNotices(duplicates > 0 ? 1 : 0);
    const auto names = [](auto first, auto last) {
        QStringList quoted;
        for (auto it = first; it != last; ++it) quoted << '"' + QString::fromStdString(*it) + '"';
        return quoted.join(", ");
    };
    if (sorted.containers.size() > 1) {
        services_.ShowMessage(
            this,
            ResText(Msg::OneContainerAtATime)
                .replace("%s", names(sorted.containers.begin() + 1, sorted.containers.end())),
            MessageButtons::Ok, MessageIcon::Information, kProductName);
    }
    if (!sorted.missing.empty()) {
        services_.ShowMessage(
            this,
            ResText(Msg::PathsNotFound)
                .replace("%s", names(sorted.missing.begin(), sorted.missing.end())),
            MessageButtons::Ok, MessageIcon::Warning, kProductName);
    }
}

// The save dialog for the container; a name without extension gets ".vesk".
void FCrypt::BrowseContainerClicked() {
    const QString chosen =
        WithContainerExtension(services_.SaveFile(this, ContainerDialogFilter(), kProductName, {}));
    if (chosen.isEmpty()) return;
    files_.containerName->setText(chosen);
    inputs_.containerName = chosen.toStdString();
}

}  // namespace sealwise::gui
