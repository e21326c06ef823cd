#include "gui/app/desktop_services.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace sealwise::gui {

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& patterns = parts[i + 1];
        // Qt reads the patterns from the parentheses of the description.
        filters << (description.contains('(')
                        ? description
                        : description + " (" + QString(patterns).replace(';', ' ') + ")");
    }
    return filters.join(";;");
}

MessageAnswer QtDesktopServices::ShowMessage(QWidget* owner, const QString& text,
                                             MessageButtons buttons, MessageIcon icon,
                                             const QString& title) {
    QMessageBox box(owner);
    box.setText(text);
    box.setWindowTitle(title);
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return buttons == MessageButtons::OkCancel && box.clickedButton() == nullptr
                       ? MessageAnswer::Cancel
                       : MessageAnswer::Ok;
    }
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
