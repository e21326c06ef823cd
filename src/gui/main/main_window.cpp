#include "gui/main/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWindow>

#include "gui/app/command_line.h"
#include "gui/app/desktop_services.h"
#include "gui/app/language_flags.h"
#include "gui/app/language_switch.h"
#include "gui/app/localizer.h"
#include "gui/controls/light_tab.h"
#include "gui/controls/rounded_panel.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/main/decrypt_files_page.h"
#include "gui/main/encrypt_files_page.h"
#include "gui/main/main_window_names.h"
#include "gui/main/passphrase_controller.h"
#include "gui/main/text_page.h"
#include "gui/main/window_shape.h"
#include "gui/widgets/caption_buttons.h"
#include "gui/widgets/flag_image.h"
#include "gui/widgets/widget_factory.h"
#include "gui/working/working_display.h"

namespace sealwise::gui {

MainWindow::MainWindow(DesktopServices& services, const std::string& commandLine, QWidget* parent)
    : MainWindow(services, InterpretCommandLine(commandLine), parent) {}

MainWindow::MainWindow(DesktopServices& services, const std::vector<std::string>& arguments,
                       QWidget* parent)
    : MainWindow(services, InterpretArguments(arguments), parent) {}

MainWindow::MainWindow(DesktopServices& services, const CommandLineRequest& request,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), services_(services) {
    setObjectName(main_names::kWindow);
    setWindowTitle("Sealwise");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWindowSize);
    BuildWindow();
    jobs_ = new JobThread(this);
    relay_ = new ProgressRelay(*working_, this);
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    noteTimer_->setInterval(kResultNoteMilliseconds);
    connect(noteTimer_, &QTimer::timeout, passphrase_->Panel().resultNote, &QWidget::hide);
    ConnectHandlers();
    Load(request);
}

// The job's thread uses the window's members: it must end before they go.
MainWindow::~MainWindow() {
    jobs_->Stop([this] { CancelClicked(); });
    if (waitCursorShown_) QApplication::restoreOverrideCursor();
}

void MainWindow::BuildWindow() {
    // The rounded background panel, behind everything else.
    background_ = Named(new RoundedPanel(this), main_names::kBackground);
    background_->SetFillColor(palette().color(QPalette::Window));
    background_->SetOutlineColor(QColor(128, 128, 128));
    background_->SetCornerEllipse(kWindowCornerEllipse);
    background_->setGeometry(rect());
    background_->lower();

    title_ = BuildTitleBar(this);
    title_.title->installEventFilter(this);

    mainTabs_ = Named(new LightTab(this), main_names::kMainTabs);
    mainTabs_->setNumberOfTabs(2);
    mainTabs_->setCaption("Files|Text|");
    // The pages' buttons lie in the passphrase panel, which is built first for them.
    passphrase_ = std::make_unique<PassphraseController>(*this);
    text_ = std::make_unique<TextPage>(*this, mainTabs_, *passphrase_);
    files_ = BuildFilePanel(mainTabs_);
    decrypt_ = std::make_unique<DecryptFilesPage>(*this, files_.decrypt, *passphrase_);
    encrypt_ = std::make_unique<EncryptFilesPage>(*this, files_.encrypt, *passphrase_, *decrypt_);
    auto* pages = new QGridLayout(mainTabs_);
    pages->addWidget(text_->Panel().frame, 0, 0);
    pages->addWidget(files_.frame, 0, 0);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 4, 8, 12);
    column->setSpacing(6);
    column->addWidget(title_.bar);
    column->addWidget(mainTabs_, 1);
    column->addWidget(passphrase_->Panel().frame);

    // The working display lies over the lower rows of the passphrase panel while a job runs;
    // it is not inside that panel, which is disabled then.
    working_ = new WorkingDisplay(this);
    working_->hide();
}

void MainWindow::ConnectHandlers() {
    connect(mainTabs_, &LightTab::AfterTabChange, this, &MainWindow::MainTabChanged);
    connect(files_.tabs, &LightTab::AfterTabChange, this, &MainWindow::FileTabChanged);
    for (std::size_t i = 0; i < title_.flags.size(); ++i) {
        const int offset = kLanguageFlags[i].languageOffset;
        connect(title_.flags[i], &FlagImage::clicked, this,
                [this, offset] { SwitchLanguage(offset); });
    }
    connect(&LanguageSwitch::Instance(), &LanguageSwitch::Changed, this,
            &MainWindow::LanguageChanged);
    connect(title_.about, &QPushButton::clicked, this, &MainWindow::ShowWelcome);
    connect(passphrase_->Panel().onlineLink, &QPushButton::clicked, this,
            &MainWindow::OpenOnlineVersion);
    connect(title_.controlBox, &CaptionButtons::MinimiseClicked, this, &QWidget::showMinimized);
    connect(title_.controlBox, &CaptionButtons::CloseClicked, this, &QWidget::close);
    connect(working_, &WorkingDisplay::CancelClicked, this, &MainWindow::CancelClicked);
    setAcceptDrops(true);
}

// The load step. The compression library is linked into the program, so its presence check
// always succeeds and has nothing to report.
void MainWindow::Load(const CommandLineRequest& request) {
    MarkLanguageFlag(this);
    title_.logo[0]->setPixmap(title_.logo[1]->pixmap());
    Localize();
    ApplyCommandLine(request);
    FileTabChanged(files_.tabs->ActiveTab());
    MainTabChanged(mainTabs_->ActiveTab());
    passphrase_->RatePassphrase(passphrase_->Panel().passphrase->text());
    setMask(RoundedWindowRegion(size()));
    FirstUsefulControl()->setFocus();
}

// Where the work of the page shown begins: adding files, choosing a container, typing the
// text; the passphrase when the page already holds what it needs.
QWidget* MainWindow::FirstUsefulControl() const {
    QWidget* passphrase = passphrase_->Panel().passphrase;
    if (mainTabs_->ActiveTab() == MainNavigation::kTextTab) return text_->Panel().text;
    if (files_.tabs->ActiveTab() == MainNavigation::kDecryptTab) {
        QLineEdit* container = decrypt_->Panel().decryptFile;
        return container->text().isEmpty() ? container : passphrase;
    }
    return encrypt_->Inputs().empty() ? encrypt_->Panel().add : passphrase;
}

void MainWindow::ApplyCommandLine(const CommandLineRequest& request) {
    using Kind = CommandLineRequest::Kind;
    switch (request.kind) {
        case Kind::None:
            break;
        case Kind::FilesEncrypt:
            SelectFilePage(MainNavigation::kEncryptTab);
            break;
        case Kind::FilesDecrypt:
            SelectFilePage(MainNavigation::kDecryptTab);
            break;
        case Kind::EncryptPath:
            encrypt_->AddPathFromCommandLine(QString::fromStdString(request.path));
            SelectFilePage(MainNavigation::kEncryptTab);
            break;
        case Kind::DecryptFile:
            decrypt_->Prepare(request.path, request.outputDirectory);
            SelectFilePage(MainNavigation::kDecryptTab);
            break;
        case Kind::Paths:
            encrypt_->AddPathsFromCommandLine(request.paths);
            break;
        case Kind::Usage: {
            const QString program =
                QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
            services_.ShowMessage(this, QString::fromStdString(UsageText(program.toStdString())),
                                  MessageButtons::Ok, MessageIcon::None, QString());
            break;
        }
    }
}

QRect MainWindow::PassphraseArea() const { return passphrase_->Area(); }

const InputList& MainWindow::Inputs() const { return encrypt_->Inputs(); }

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    background_->setGeometry(rect());
    setMask(RoundedWindowRegion(size()));
    PlaceWorkingDisplay();
}

void MainWindow::mousePressEvent(QMouseEvent* event) { StartWindowDrag(event); }

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == title_.title && event->type() == QEvent::MouseButtonPress) {
        StartWindowDrag(static_cast<QMouseEvent*>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && !EncryptFilesPage::DroppedPaths(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const auto paths = EncryptFilesPage::DroppedPaths(event->mimeData());
    if (paths.empty() || busy_) return;
    event->acceptProposedAction();
    encrypt_->DropOnWindow(paths);
}

void MainWindow::StartWindowDrag(QMouseEvent* event) {
    if (!StartsWindowDrag(event->button(), isMaximized())) return;
    if (QWindow* handle = windowHandle()) handle->startSystemMove();
}

}  // namespace sealwise::gui
