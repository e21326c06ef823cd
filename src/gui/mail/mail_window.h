#pragma once
// MailWindow (form frmEmail): the e-mail window. Hands an encrypted text, with the sender's
// name and address, the recipient's address and an optional plain message, to the mail
// service, and reports its answer. The request runs on a worker thread; closing the window
// cancels it.
#include <QString>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>

#include "mail/mail_form.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sealwise::gui {

class DesktopServices;
struct MailSendOutcome;

class MailWindow : public QWidget {
    Q_OBJECT

  public:
    MailWindow(DesktopServices& services, QWidget* owner);
    ~MailWindow() override;

    // Opens the window of `owner` (or brings back the open one) with `text` to send.
    static MailWindow* ShowFor(QWidget* owner, DesktopServices& services, const QString& text);

    // The text to send; shown in TxtCrypt, whose later edits are not sent.
    void SetEncryptedText(const QString& text);
    const QString& EncryptedText() const { return encryptedText_; }

    bool IsSending() const { return sending_; }
    // The form as it would be sent now.
    MailForm Form() const;

  Q_SIGNALS:
    // A send has ended and its outcome has been shown (not after a cancelled send).
    void SendFinished();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void SendClicked();
    void SendEnded(const MailSendOutcome& outcome);
    void SetSending(bool sending);
    // Asks whether to hand the text to the desktop's mail program (a mailto: link) and does so.
    void OfferMailProgram(const std::string& question);
    void Tell(const QString& text);

    DesktopServices& services_;
    QString encryptedText_;
    bool sending_ = false;
    std::shared_ptr<std::atomic<bool>> cancel_;

    QPlainTextEdit* encryptedBox_ = nullptr;  // TxtCrypt
    QLineEdit* senderName_ = nullptr;         // TxtSender
    QLineEdit* senderAddress_ = nullptr;      // TxtAdrSender
    QLineEdit* recipient_ = nullptr;          // txtReceipAdr
    QPlainTextEdit* message_ = nullptr;       // TextMsg
    QLabel* status_ = nullptr;                // lblStatus: shown while the request runs
    QPushButton* send_ = nullptr;             // cmdSend
    QPushButton* close_ = nullptr;            // cmdCancel
};

}  // namespace sealwise::gui
