#pragma once
// Drives the main window in tests: a window with scripted services, clicks by object name,
// tab changes, drops, and waiting for the job thread.
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/strings.h"
#include "gui/controls/light_tab.h"
#include "gui/main/main_window.h"
#include "gui_testing.h"

namespace sealwise::gui::testing {

class WindowDriver {
  public:
    ScriptedServices services;
    std::unique_ptr<MainWindow> window;

    void Open(const std::string& commandLine = "") {
        SetLanguageOffset(900);
        services = {};
        window = std::make_unique<MainWindow>(services, commandLine);
        window->show();
    }
    void Close() { window.reset(); }

    template <typename Widget = QWidget>
    Widget* W(const QString& name) {
        return Child<Widget>(window.get(), name);
    }
    QLineEdit* Edit(const QString& name) { return W<QLineEdit>(name); }
    void Click(const QString& name) { W<QAbstractButton>(name)->click(); }
    void Tab(const char* strip, int index) { W<LightTab>(strip)->setActiveTab(index); }
    void TextTab() { Tab("TabStr", 1); }
    void EncryptTab() {
        Tab("TabStr", 0);
        Tab("TabFileCrypt", 0);
    }
    void DecryptTab() {
        Tab("TabStr", 0);
        Tab("TabFileCrypt", 1);
    }
    QString Results() { return W<QPlainTextEdit>("txtResults")->toPlainText(); }
    void SetResults(const QString& text) { W<QPlainTextEdit>("txtResults")->setPlainText(text); }

    // Waits until the running job has ended and the window is idle again.
    bool WaitIdle(int milliseconds = 20000) {
        return QTest::qWaitFor([this] { return !window->IsBusy() && !window->JobRunning(); },
                               milliseconds);
    }

    // Encrypts what the encrypt page lists into container; true once the window is idle again.
    bool EncryptListedInto(const QString& container, const QString& passphrase) {
        Edit("TxtEncrFileName")->setText(container);
        Edit("TxtCode")->setText(passphrase);
        Click("Command4");
        return WaitIdle();
    }
    // Decrypts container into output from the decrypt page; true once the window is idle again.
    bool DecryptInto(const QString& container, const QString& output, const QString& passphrase) {
        DecryptTab();
        Edit("TxtDecrFile")->setText(container);
        Edit("TxtDecrOutPath")->setText(output);
        Edit("TxtCode")->setText(passphrase);
        Click("Command5");
        return WaitIdle();
    }

    // The texts of the messages shown so far.
    QStringList Messages() const {
        QStringList texts;
        for (const auto& message : services.messages) texts << message.text;
        return texts;
    }
    static QString Text(Msg id, const std::string& argument = {}) {
        return QString::fromStdString(argument.empty() ? GetResText(id)
                                                       : MessageText(Message{id, argument}));
    }

    // Files dropped on a widget, as the desktop shell drops them.
    static void Drop(QWidget* target, const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        // The drag entering makes the widget the target that the drop is delivered to.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
};

}  // namespace sealwise::gui::testing
