#include "gui_testing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QStyleFactory>

#include "gui/accessibility/accessible_controls.h"

namespace sealwise::gui::testing {

MessageAnswer ScriptedServices::ShowMessage(QWidget*, const QString& text, MessageButtons buttons,
                                            MessageIcon icon, const QString& title) {
    messages.push_back({text, buttons, icon, title});
    events << "message " + text;
    if (!answers.empty()) {
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

QString ScriptedServices::NextFile() {
    if (files.empty()) return {};
    QString file = files.front();
    files.pop_front();
    return file;
}

QString ScriptedServices::OpenFile(QWidget*, const QString&, const QString&, const QString&) {
    return NextFile();
}

QStringList ScriptedServices::OpenFiles(QWidget*, const QString&, const QString&, const QString&) {
    if (!fileLists.empty()) {
        QStringList chosen = fileLists.front();
        fileLists.pop_front();
        return chosen;
    }
    const QString file = NextFile();
    return file.isEmpty() ? QStringList() : QStringList{file};
}

QString ScriptedServices::SaveFile(QWidget*, const QString&, const QString&, const QString&) {
    return NextFile();
}

QString ScriptedServices::BrowseFolder(QWidget*, const QString&) { return NextFile(); }

void UseProgramLook() {
    InstallAccessibleInterfaces();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QFont font = QApplication::font();
    font.setPixelSize(12);
    QApplication::setFont(font);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(bytes) == bytes.size());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace sealwise::gui::testing
