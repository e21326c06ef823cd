#include "gui/app/desktop_services.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

#include "gui/app/message_box.h"

namespace sealwise::gui {

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // "*.*" means every file where the filter comes from; here it would miss names
        // without a dot, so it becomes "*".
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == "*.*") pattern = "*";
        }
        // Qt reads the patterns from the parentheses of the description.
        QString description = parts[i].trimmed();
        if (const qsizetype open = description.indexOf('('); open >= 0) {
            description = description.left(open).trimmed();
        }
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

MessageAnswer QtDesktopServices::ShowMessage(QWidget* owner, const QString& text,
                                             MessageButtons buttons, MessageIcon icon,
                                             const QString& title) {
    QMessageBox box(owner);
    ConfigureMessageBox(box, text, buttons, icon, title);
    box.exec();
    return AnswerOf(box, buttons);
}

QString QtDesktopServices::OpenFile(QWidget* owner, const QString& filter, const QString& title,
                                    const QString& directory) {
    return QFileDialog::getOpenFileName(owner, title, directory, QtFileFilter(filter));
}

QStringList QtDesktopServices::OpenFiles(QWidget* owner, const QString& filter,
                                         const QString& title, const QString& directory) {
    return QFileDialog::getOpenFileNames(owner, title, directory, QtFileFilter(filter));
}

QString QtDesktopServices::SaveFile(QWidget* owner, const QString& filter, const QString& title,
                                    const QString& directory) {
    return QFileDialog::getSaveFileName(owner, title, directory, QtFileFilter(filter));
}

QString QtDesktopServices::BrowseFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title);
}

void QtDesktopServices::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace sealwise::gui
