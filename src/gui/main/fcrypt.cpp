#include "gui/main/fcrypt.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
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
#include "gui/keyboard/keyboard_window.h"
#include "gui/mail/mail_window.h"
#include "gui/main/window_shape.h"
#include "gui/widgets/caption_buttons.h"
#include "gui/widgets/flag_image.h"
#include "gui/widgets/widget_factory.h"
#include "gui/working/working_display.h"

namespace sealwise::gui {

FCrypt::FCrypt(DesktopServices& services, const std::string& commandLine, QWidget* parent)
    : FCrypt(services, InterpretCommandLine(commandLine), parent) {}

FCrypt::FCrypt(DesktopServices& services, const std::vector<std::string>& arguments,
               QWidget* parent)
    : FCrypt(services, InterpretArguments(arguments), parent) {}

FCrypt::FCrypt(DesktopServices& services, const CommandLineRequest& request, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), services_(services) {
    setObjectName("FCrypt");
    setWindowTitle("Sealwise");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWindowSize);
    BuildWindow();
    jobs_ = new JobThread(this);
    relay_ = new ProgressRelay(*working_, this);
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    noteTimer_->setInterval(kResultNoteMilliseconds);
    connect(noteTimer_, &QTimer::timeout, pwd_.resultNote, &QWidget::hide);
    inputs_.SetCancelFlag(&cancelRequested_);
    inputs_.SetPumpHook(&scanPump_);
    inputs_.SetScanObserver(&scanBusy_);
    scanBusy_.onChange = [this](bool scanning) { SetBusy(scanning, true); };
    ConnectHandlers();
    Load(request);
}

// The job's thread uses the window's members: it must end before they go.
FCrypt::~FCrypt() {
    jobs_->Stop([this] { CancelClicked(); });
    if (waitCursorShown_) QApplication::restoreOverrideCursor();
}

void FCrypt::BuildWindow() {
    // The rounded background panel, behind everything else.
    background_ = Named(new RoundedPanel(this), "ucShape1");
    background_->SetFillColor(palette().color(QPalette::Window));
    background_->SetOutlineColor(QColor(128, 128, 128));
    background_->SetCornerEllipse(kWindowCornerEllipse);
    background_->setGeometry(rect());
    background_->lower();

    title_ = BuildTitleBar(this);
    title_.title->installEventFilter(this);

    mainTabs_ = Named(new LightTab(this), "TabStr");
    mainTabs_->setNumberOfTabs(2);
    mainTabs_->setCaption("Files|Text|");
    text_ = BuildTextPanel(mainTabs_);
    files_ = BuildFilePanel(mainTabs_);
    auto* pages = new QGridLayout(mainTabs_);
    pages->addWidget(text_.frame, 0, 0);
    pages->addWidget(files_.frame, 0, 0);

    pwd_ = BuildPassphrasePanel(this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 4, 8, 12);
    column->setSpacing(6);
    column->addWidget(title_.bar);
    column->addWidget(mainTabs_, 1);
    column->addWidget(pwd_.frame);

    // The working display lies over the lower rows of the passphrase panel while a job runs;
    // it is not inside that panel, which is disabled then.
    working_ = new WorkingDisplay(this);
    working_->hide();
}

void FCrypt::ConnectHandlers() {
    connect(mainTabs_, &LightTab::AfterTabChange, this, &FCrypt::MainTabChanged);
    connect(files_.tabs, &LightTab::AfterTabChange, this, &FCrypt::FileTabChanged);
    connect(pwd_.passphrase, &QLineEdit::textChanged, this, &FCrypt::PassphraseEdited);
    connect(pwd_.hide, &QCheckBox::toggled, this, [this](bool hidden) {
        pwd_.passphrase->setEchoMode(hidden ? QLineEdit::Password : QLineEdit::Normal);
    });
    connect(pwd_.modes[1], &QRadioButton::toggled, this, &FCrypt::ModeOptionToggled);
    for (std::size_t i = 0; i < title_.flags.size(); ++i) {
        const int offset = kLanguageFlags[i].languageOffset;
        connect(title_.flags[i], &FlagImage::clicked, this,
                [this, offset] { SwitchLanguage(offset); });
    }
    connect(&LanguageSwitch::Instance(), &LanguageSwitch::Changed, this, &FCrypt::LanguageChanged);
    connect(title_.about, &QPushButton::clicked, this, &FCrypt::ShowWelcome);
    connect(pwd_.onlineLink, &QPushButton::clicked, this, &FCrypt::OpenOnlineVersion);
    connect(pwd_.keyboard, &QPushButton::clicked, this, [this] {
        KeyboardWindow::ShowFor(this, pwd_.passphrase, [this] { return PassphraseArea(); });
    });
    connect(pwd_.mail, &QPushButton::clicked, this,
            [this] { MailWindow::ShowFor(this, services_, text_.text->toPlainText()); });
    connect(title_.controlBox, &CaptionButtons::MinimiseClicked, this, &QWidget::showMinimized);
    connect(title_.controlBox, &CaptionButtons::CloseClicked, this, &QWidget::close);
    connect(working_, &WorkingDisplay::CancelClicked, this, &FCrypt::CancelClicked);
    ConnectTextHandlers();
    ConnectInputListHandlers();
    ConnectDecryptHandlers();
    ConnectPassphraseHandlers();
}

// The load step. The compression library is linked into the program, so its presence check
// always succeeds and has nothing to report.
void FCrypt::Load(const CommandLineRequest& request) {
    MarkLanguageFlag(this);
    title_.logo[0]->setPixmap(title_.logo[1]->pixmap());
    Localize();
    ApplyCommandLine(request);
    FileTabChanged(files_.tabs->ActiveTab());
    MainTabChanged(mainTabs_->ActiveTab());
    PwdBewert(pwd_.passphrase->text());
    setMask(RoundedWindowRegion(size()));
    FirstUsefulControl()->setFocus();
}

// Where the work of the page shown begins: adding files, choosing a container, typing the
// text; the passphrase when the page already holds what it needs.
QWidget* FCrypt::FirstUsefulControl() const {
    if (mainTabs_->ActiveTab() == MainNavigation::kTextTab) return text_.text;
    if (files_.tabs->ActiveTab() == MainNavigation::kDecryptTab) {
        return files_.decryptFile->text().isEmpty() ? static_cast<QWidget*>(files_.decryptFile)
                                                    : pwd_.passphrase;
    }
    return inputs_.empty() ? static_cast<QWidget*>(files_.add) : pwd_.passphrase;
}

void FCrypt::ApplyCommandLine(const CommandLineRequest& request) {
    using Kind = CommandLineRequest::Kind;
    switch (request.kind) {
        case Kind::None:
            break;
        case Kind::FilesEncrypt:
            mainTabs_->setActiveTab(MainNavigation::kFilesTab);
            files_.tabs->setActiveTab(MainNavigation::kEncryptTab);
            break;
        case Kind::FilesDecrypt:
            mainTabs_->setActiveTab(MainNavigation::kFilesTab);
            files_.tabs->setActiveTab(MainNavigation::kDecryptTab);
            break;
        case Kind::EncryptPath:
            AddPathFromCommandLine(QString::fromStdString(request.path));
            mainTabs_->setActiveTab(MainNavigation::kFilesTab);
            files_.tabs->setActiveTab(MainNavigation::kEncryptTab);
            break;
        case Kind::DecryptFile:
            files_.decryptFile->setText(QString::fromStdString(request.path));
            files_.outputPath->setText(QString::fromStdString(request.outputDirectory));
            mainTabs_->setActiveTab(MainNavigation::kFilesTab);
            files_.tabs->setActiveTab(MainNavigation::kDecryptTab);
            break;
        case Kind::Paths:
            AddPathsFromCommandLine(request.paths);
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

// The hint, the passphrase box with its tools and the rating: what the user reads while
// typing, which the on-screen keyboard must leave visible.
QRect FCrypt::PassphraseArea() const {
    const QPoint top = pwd_.frame->mapToGlobal(QPoint(0, 0));
    const int lowerRowsTop = pwd_.lowerRows->mapTo(pwd_.frame, QPoint(0, 0)).y();
    return QRect(top, QSize(pwd_.frame->width(), lowerRowsTop));
}

void FCrypt::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    background_->setGeometry(rect());
    setMask(RoundedWindowRegion(size()));
    PlaceWorkingDisplay();
}

void FCrypt::mousePressEvent(QMouseEvent* event) { StartWindowDrag(event); }

bool FCrypt::eventFilter(QObject* watched, QEvent* event) {
    if (watched == title_.title && event->type() == QEvent::MouseButtonPress) {
        StartWindowDrag(static_cast<QMouseEvent*>(event));
        return true;
    }
    if (FilterInputListEvent(watched, event) || FilterPassphraseEvent(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

void FCrypt::StartWindowDrag(QMouseEvent* event) {
    if (!StartsWindowDrag(event->button(), isMaximized())) return;
    if (QWindow* handle = windowHandle()) handle->startSystemMove();
}

}  // namespace sealwise::gui
