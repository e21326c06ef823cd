// The desktop program: chooses the language from the system, shows the welcome window, and
// opens the main window with the command line when the user presses Start.
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyleFactory>
#include <algorithm>
#include <cstdio>

#include "app/language.h"
#include "app/strings.h"
#include "gui/about/welcome_window.h"
#include "gui/accessibility/accessible_controls.h"
#include "gui/app/command_line.h"
#include "gui/app/desktop_services.h"
#include "gui/app/language_switch.h"
#include "gui/app/window_placement.h"
#include "gui/art/symbols.h"
#include "gui/mail/mail_service_choice.h"
#include "gui/main/main_window.h"
#include "gui/smoke_run.h"
#include "util/process_hardening.h"

namespace {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        sealwise::gui::PaintLogo(painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

sealwise::gui::ProgramArguments OptionsOf(int argc, char** argv) {
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    return sealwise::gui::TakeProgramOptions(std::move(arguments));
}

std::string ProgramName(const char* argv0) {
    const std::string path = argv0 ? argv0 : "sealwise";
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    // Passphrases pass through this process: never let them end up in a core dump.
    sealwise::HardenProcess();
    sealwise::IgnoreFileSizeSignal();

    // Answered before any window (or display) is needed.
    const sealwise::gui::ProgramArguments early = OptionsOf(argc, argv);
    if (early.help || early.version) {
        const std::string text = early.help ? sealwise::gui::HelpText(ProgramName(argv[0]))
                                            : sealwise::gui::VersionText();
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication app(argc, argv);
    sealwise::gui::InstallAccessibleInterfaces();
    QApplication::setApplicationName("Sealwise");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setWindowIcon(ProgramIcon());
    QFont font = QApplication::font();
    font.setPixelSize(12);
    QApplication::setFont(font);

    sealwise::SetLanguageOffset(sealwise::LanguageOffsetFromLangId(sealwise::LangIdFromLocale()));
    sealwise::gui::LanguageSwitch::ApplyCurrent();

    // Qt has taken its own options (-platform, ...) out of the arguments by now.
    std::vector<std::string> rest;
    for (const QString& argument : QApplication::arguments().mid(1))
        rest.push_back(argument.toStdString());
    sealwise::gui::ProgramArguments options = sealwise::gui::TakeProgramOptions(std::move(rest));
    sealwise::gui::SetMailUrlOption(std::move(options.mailUrl));
    const std::vector<std::string> commandLine = std::move(options.rest);

    sealwise::gui::QtDesktopServices services;
    QPointer<sealwise::gui::MainWindow> mainWindow;
    sealwise::gui::WelcomeWindow* welcome = nullptr;
    welcome = new sealwise::gui::WelcomeWindow(services, [&] {
        if (!mainWindow) {
            mainWindow = new sealwise::gui::MainWindow(services, commandLine);
            sealwise::gui::CentreOnScreenOf(mainWindow, welcome);
        }
        mainWindow->show();
        mainWindow->raise();
        mainWindow->activateWindow();
    });
    sealwise::gui::CentreOnScreenOf(welcome, nullptr);
    welcome->show();
    sealwise::gui::ScheduleSmokeRun();
    return app.exec();
}
