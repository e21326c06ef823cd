// A tour of every window and state of the desktop program that writes one picture of each, so
// that a change can be checked by eye in every language and at every scale:
//   sealwise_screenshot_tour OUTDIR de|en|es|fr
// scripts/screenshots.sh runs it under Xvfb; QT_SCALE_FACTOR sets the scale.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/strings.h"
#include "gui/about/welcome_window.h"
#include "gui/accessibility/accessible_controls.h"
#include "gui/app/desktop_services.h"
#include "gui/app/language_switch.h"
#include "gui/app/qt_translations.h"
#include "gui/app/window_placement.h"
#include "gui/controls/light_tab.h"
#include "gui/controls/progress_bar.h"
#include "gui/keyboard/keyboard_window.h"
#include "gui/keyboard/keyboard_window_names.h"
#include "gui/mail/mail_window.h"
#include "gui/main/main_window.h"
#include "gui/widgets/widget_factory.h"
#include "gui/working/working_display.h"

using namespace sealwise::gui;

namespace {

class Tour {
  public:
    explicit Tour(QString directory) : directory_(std::move(directory)) {}

    // The window as it is drawn, frame excluded.
    void Window(const QString& name, QWidget* window) {
        Settle();
        Save(name, window->grab());
    }

    // What the screen shows where these windows are (to see how they lie on each other).
    void Screen(const QString& name, std::initializer_list<QWidget*> windows) {
        Settle();
        QRect area;
        for (QWidget* window : windows) area |= window->frameGeometry();
        QScreen* screen = QGuiApplication::primaryScreen();
        area &= screen->geometry();
        Save(name, screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()));
    }

    // Runs `open`, which shows a modal box or dialog, takes its picture and closes it.
    void Modal(const QString& name, const std::function<void()>& open) {
        QTimer::singleShot(300, [this, name] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                std::fprintf(stderr, "tour: no box for %s\n", qPrintable(name));
                return;
            }
            Window(name, modal);
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->done(0);
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        open();
    }

    int Failures() const { return failures_; }

  private:
    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QTest::qWait(40);
        }
    }

    void Save(const QString& name, const QPixmap& picture) {
        const QString path =
            QDir(directory_)
                .filePath(QString("%1-%2.png").arg(++count_, 2, 10, QChar('0')).arg(name));
        if (picture.isNull() || !picture.save(path)) {
            std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(path));
            ++failures_;
        }
    }

    QString directory_;
    int count_ = 0;
    int failures_ = 0;
};

int LanguageOffsetOf(const QString& code) {
    for (const int offset : {0, 900, 1900, 2900}) {
        if (LanguageCode(offset) == code) return offset;
    }
    return -1;
}

template <typename Widget = QWidget>
Widget* Find(QWidget* root, const char* name) {
    auto* found = root->findChild<Widget*>(name);
    if (!found) qFatal("tour: no %s", name);
    return found;
}

void Run(Tour& tour, QtDesktopServices& services) {
    // The welcome window with each of its three panels.
    const std::array<std::pair<const char*, double>, 3> panels = {
        {{"welcome-command-line", 0.1}, {"welcome-online", 0.5}, {"welcome-guide", 0.9}}};
    for (const auto& [name, draw] : panels) {
        WelcomeWindow welcome(
            services, [] {}, [draw = draw] { return draw; });
        CentreOnScreenOf(&welcome, nullptr);
        welcome.show();
        tour.Window(name, &welcome);
    }

    MainWindow main(services, std::string());
    CentreOnScreenOf(&main, nullptr);
    main.show();
    auto* mainTabs = Find<LightTab>(&main, "TabStr");
    auto* fileTabs = Find<LightTab>(&main, "TabFileCrypt");
    tour.Window("main-files-encrypt", &main);
    fileTabs->setActiveTab(1);
    tour.Window("main-files-decrypt", &main);
    Find<QRadioButton>(&main, "optMults_1")->click();
    Find<QLineEdit>(&main, "TxtCode")->setText("first key");
    Find<QAbstractButton>(&main, "lblNextKey_0")->click();
    tour.Window("main-shared-keys", &main);
    Find<QRadioButton>(&main, "optMults_0")->click();
    mainTabs->setActiveTab(1);
    Find<QLineEdit>(&main, "TxtCode")->setText("Tr0ub4dor&3 correct horse");
    tour.Window("main-text", &main);

    main.SetBusy(true, false);
    main.Working()->ItemProgress()->setMax(100);
    main.Working()->ItemProgress()->setPosition(40);
    main.Working()->RunProgress()->setMax(100);
    main.Working()->RunProgress()->setPosition(65);
    main.Working()->UpdateLamps(65, 100);
    main.Working()->SetLampPanelVisible(true);
    tour.Window("main-busy", &main);
    main.SetBusy(false, false);

    // One box of each kind.
    const auto text = [](sealwise::Msg id, const std::string& s = {}) {
        return QString::fromStdString(sealwise::GetResText(id, s));
    };
    tour.Modal("box-memorize", [&] {
        services.ShowMessage(&main, text(sealwise::Msg::MemorizePassword), MessageButtons::OkCancel,
                             MessageIcon::Warning, kProductName);
    });
    tour.Modal("box-overwrite", [&] {
        services.ShowMessage(&main, text(sealwise::Msg::OverwriteQuestion, "/home/ann/backup.vesk"),
                             MessageButtons::YesNo, MessageIcon::Question, kProductName);
    });
    tour.Modal("box-saved", [&] {
        services.ShowMessage(&main, text(sealwise::Msg::SavedAs, "/home/ann/backup.vesk"),
                             MessageButtons::Ok, MessageIcon::Information, kProductName);
    });
    tour.Modal("box-error", [&] {
        services.ShowMessage(&main, text(sealwise::Msg::CheckNamesAndPassword), MessageButtons::Ok,
                             MessageIcon::Error, kProductName);
    });
    tour.Modal("box-usage", [&] {
        services.ShowMessage(&main, QString::fromStdString(UsageText("sealwise")),
                             MessageButtons::Ok, MessageIcon::None, QString());
    });
    tour.Modal("dialog-open-container", [&] {
        QFileDialog dialog(&main, text(sealwise::Msg::SelectFileToDecrypt), QDir::homePath(),
                           QtFileFilter(text(sealwise::Msg::ContainerFilter) + '|' +
                                        text(sealwise::Msg::AllFilesFilter)));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.exec();
    });

    MailWindow* mail =
        MailWindow::ShowFor(&main, services, "U2VhbHdpc2UgYXJtb3VyIGZvciB0aGUgdG91cg==");
    tour.Window("mail", mail);
    mail->close();

    mainTabs->setActiveTab(0);
    fileTabs->setActiveTab(0);
    KeyboardWindow* keyboard = KeyboardWindow::ShowFor(&main, Find<QLineEdit>(&main, "TxtCode"),
                                                       [&main] { return main.PassphraseArea(); });
    tour.Screen("keyboard-1x", {&main, keyboard});
    Find<QRadioButton>(keyboard, qPrintable(ElementName(keyboard_window_names::kZoomOption, 1)))
        ->click();
    tour.Screen("keyboard-2x", {&main, keyboard});
    keyboard->close();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Sealwise");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QFont font = QApplication::font();
    font.setPixelSize(12);
    QApplication::setFont(font);
    InstallAccessibleInterfaces();

    const QStringList arguments = QApplication::arguments();
    const int offset = arguments.size() == 3 ? LanguageOffsetOf(arguments[2]) : -1;
    if (offset < 0) {
        std::fprintf(stderr, "usage: sealwise_screenshot_tour OUTDIR de|en|es|fr\n");
        return 2;
    }
    if (!QDir().mkpath(arguments[1])) return 1;
    sealwise::SetLanguageOffset(offset);
    LanguageSwitch::ApplyCurrent();

    QtDesktopServices services;
    Tour tour(arguments[1]);
    Run(tour, services);
    return tour.Failures() == 0 ? 0 : 1;
}
