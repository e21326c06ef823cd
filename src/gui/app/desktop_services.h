#pragma once
// What the windows ask of the desktop: message boxes, file and folder dialogs and opening a web
// page. Windows get it passed in, so tests can pre-answer every question without blocking.
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace sealwise::gui {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The title message boxes carry unless a caller says otherwise.
inline const QString kProductName = QStringLiteral("Sealwise");

class DesktopServices {
  public:
    virtual ~DesktopServices() = default;

    virtual MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons,
                                      MessageIcon icon, const QString& title) = 0;
    // filter: description and pattern pairs separated by "|" ("All files (*.*)|*.*").
    // Each returns an empty result when the user cancels.
    virtual QString OpenFile(QWidget* owner, const QString& filter, const QString& title,
                             const QString& directory) = 0;
    virtual QStringList OpenFiles(QWidget* owner, const QString& filter, const QString& title,
                                  const QString& directory) = 0;
    virtual QString SaveFile(QWidget* owner, const QString& filter, const QString& title,
                             const QString& directory) = 0;
    virtual QString BrowseFolder(QWidget* owner, const QString& title) = 0;
    // Opens a page in the user's browser; a failure is not reported.
    virtual void OpenUrl(const QUrl& url) = 0;
};

// A "|"-separated filter in the form the Qt file dialogs take ("All files (*.*)").
QString QtFileFilter(const QString& pipeFilter);

class QtDesktopServices : public DesktopServices {
  public:
    MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons,
                              MessageIcon icon, const QString& title) override;
    QString OpenFile(QWidget* owner, const QString& filter, const QString& title,
                     const QString& directory) override;
    QStringList OpenFiles(QWidget* owner, const QString& filter, const QString& title,
                          const QString& directory) override;
    QString SaveFile(QWidget* owner, const QString& filter, const QString& title,
                     const QString& directory) override;
    QString BrowseFolder(QWidget* owner, const QString& title) override;
    void OpenUrl(const QUrl& url) override;
};

}  // namespace sealwise::gui
