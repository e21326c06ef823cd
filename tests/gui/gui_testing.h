#pragma once
// Helpers shared by the desktop program's tests: a desktop-services double that answers
// questions from a script and records what the windows showed, and small lookups by name.
#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <vector>

#include "gui/app/desktop_services.h"

namespace sealwise::gui::testing {

struct ShownMessage {
    QString text;
    MessageButtons buttons;
    MessageIcon icon;
    QString title;
};

class ScriptedServices : public DesktopServices {
  public:
    // Answers given in order; when none is left a question gets Ok / Yes.
    std::deque<MessageAnswer> answers;
    std::deque<QString> files;          // answers of the file and folder dialogs (empty: cancelled)
    std::deque<QStringList> fileLists;  // answers of the multiple-selection open dialog, first
    std::vector<ShownMessage> messages;
    std::vector<QUrl> openedUrls;
    QStringList events;  // "message <text>" and "url <address>", in the order they came

    MessageAnswer ShowMessage(QWidget*, const QString& text, MessageButtons buttons,
                              MessageIcon icon, const QString& title) override;
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&) override;
    QStringList OpenFiles(QWidget*, const QString&, const QString&, const QString&) override;
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override;
    QString BrowseFolder(QWidget*, const QString&) override;
    void OpenUrl(const QUrl& url) override {
        openedUrls.push_back(url);
        events << "url " + url.toString();
    }

  private:
    QString NextFile();
};

// The application settings of the program (style, font), for windows under test.
void UseProgramLook();

// Writes bytes to path, making its directory first; fails the test when it cannot.
void WriteFile(const QString& path, const QByteArray& bytes);
// The bytes of path; "<missing>" when it cannot be read.
QByteArray ReadFile(const QString& path);

// The child of `root` with this object name; fails the test when it is missing.
template <typename Widget>
Widget* Child(QObject* root, const QString& name);

}  // namespace sealwise::gui::testing

#include <QTest>

namespace sealwise::gui::testing {

template <typename Widget>
Widget* Child(QObject* root, const QString& name) {
    auto* found = root->findChild<Widget*>(name);
    if (!found) qFatal("no child named %s", qPrintable(name));
    return found;
}

}  // namespace sealwise::gui::testing
