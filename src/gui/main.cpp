// The desktop program: chooses the language from the system, shows the welcome window, and
// opens the main window with the command line when the user presses Start.
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyleFactory>

#include "app/language.h"
#include "app/strings.h"
#include "gui/about/frm_about.h"
#include "gui/app/command_line.h"
#include "gui/app/desktop_services.h"
#include "gui/app/smoke_run.h"
#include "gui/art/symbols.h"
#include "gui/mail/mail_service_choice.h"
#include "gui/main/fcrypt.h"
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

// The command line of the main window; the program's own options go where they are used.
std::string CommandLineOf(const QStringList& arguments) {
    std::vector<std::string> rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) rest.push_back(arguments[i].toStdString());
    sealwise::gui::ProgramArguments options = sealwise::gui::TakeProgramOptions(std::move(rest));
    sealwise::gui::SetMailUrlOption(std::move(options.mailUrl));
    return sealwise::gui::JoinArguments(options.rest);
}

}  // namespace

int main(int argc, char** argv) {
    // Passphrases pass through this process: never let them end up in a core dump.
    sealwise::HardenProcess();
    sealwise::IgnoreFileSizeSignal();

    QApplication app(argc, argv);
    QApplication::setApplicationName("Sealwise");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setWindowIcon(ProgramIcon());
    QFont font = QApplication::font();
    font.setPixelSize(12);
    QApplication::setFont(font);

    sealwise::SetLanguageOffset(sealwise::LanguageOffsetFromLangId(sealwise::LangIdFromLocale()));

    sealwise::gui::QtDesktopServices services;
    const std::string commandLine = CommandLineOf(QApplication::arguments());
    QPointer<sealwise::gui::FCrypt> mainWindow;
    auto* welcome = new sealwise::gui::FrmAbout(services, [&] {
        if (!mainWindow) mainWindow = new sealwise::gui::FCrypt(services, commandLine);
        mainWindow->show();
        mainWindow->raise();
        mainWindow->activateWindow();
    });
    welcome->show();
    sealwise::gui::ScheduleSmokeRun();
    return app.exec();
}
