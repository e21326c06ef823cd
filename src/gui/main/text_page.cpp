#include "gui/main/text_page.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "app/strings.h"
#include "gui/app/localizer.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/mail/mail_window.h"
#include "gui/main/main_window.h"
#include "gui/main/passphrase_controller.h"
#include "gui/main/stored_format.h"
#include "modern/modern_text.h"
#include "text/line_breaks.h"
#include "text/text_crypt.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

namespace {

// One text job and what it leaves for the window's thread.
struct TextJob {
    TextJob(std::stop_token stop, ProgressSink* progress) : crypt(std::move(stop), progress) {}
    TextCryptJob crypt;
    std::string input;        // the text (encrypting) or the armour (decrypting), line breaks CR LF
    Bytes key;                // encrypting
    std::vector<Bytes> keys;  // decrypting: the candidates, best first
    StoredFormat format = StoredFormat::kClassic;
    std::vector<std::string> secrets;  // the modern format: passphrase or shared keys
    int languageOffset = 0;
    std::atomic<bool> cancelled{false};  // the modern format runs on and is dropped
    std::optional<std::string> output;   // nullopt: cancelled
    std::optional<SealError> failure;
};

// Runs on the job thread; failures are kept for the window.
void RunTextJob(TextJob& job, bool encrypt) {
    job.failure = FailureOf([&] {
        if (job.format == StoredFormat::kModern) {
            job.output = encrypt ? modern::SealText(job.input, job.secrets)
                                 : modern::OpenText(job.input, job.secrets);
            if (job.cancelled) job.output.reset();
        } else if (encrypt) {
            job.output = job.crypt.Encrypt(job.input, std::move(job.key), job.languageOffset);
        } else {
            job.output = job.crypt.Decrypt(job.input, std::move(job.keys));
        }
    });
    SecureWipe(job.key);
    SecureWipe(job.keys);
    for (std::string& secret : job.secrets) SecureWipe(secret);
}

// Runs the job on the job thread; showOutput runs on the window's thread when there is a result.
void StartTextJob(MainWindow& window, const std::shared_ptr<TextJob>& job, bool encrypt,
                  std::function<void()> showOutput) {
    window.RunJob([job, encrypt] { RunTextJob(*job, encrypt); },
                  [&window, job] {
                      job->cancelled = true;
                      window.Jobs().RequestStop();
                  },
                  [&window, job, showOutput = std::move(showOutput)] {
                      window.EndJob();
                      if (job->failure) {
                          window.ShowFailure(*job->failure);
                      } else if (job->output) {
                          showOutput();
                      }
                  });
}

}  // namespace

TextPage::TextPage(MainWindow& window, QWidget* tabs, PassphraseController& passphrase)
    : window_(window), passphrase_(passphrase), panel_(BuildTextPanel(tabs)) {
    PassphrasePanel& buttons = passphrase_.Panel();
    // Any change that is not an encryption result (typing, pasting, cutting) makes the text
    // one that must not be mailed.
    connect(panel_.text, &QPlainTextEdit::textChanged, this, [this] {
        if (!settingResults_) passphrase_.Panel().mail->setEnabled(false);
    });
    connect(buttons.encryptText, &QPushButton::clicked, this, &TextPage::EncryptClicked);
    connect(buttons.decryptText, &QPushButton::clicked, this, &TextPage::DecryptClicked);
    connect(buttons.mail, &QPushButton::clicked, this, [this] {
        MailWindow::ShowFor(&window_, window_.Services(), panel_.text->toPlainText());
    });
}

void TextPage::SetResultsText(const QString& text, bool mailable) {
    settingResults_ = true;
    panel_.text->setPlainText(text);
    settingResults_ = false;
    passphrase_.Panel().mail->setEnabled(mailable);
}

void TextPage::EncryptClicked() {
    const QString typed = panel_.text->toPlainText();
    if (passphrase_.Empty() || typed.isEmpty()) {
        window_.ShowMessageId(Msg::CheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    auto job = std::make_shared<TextJob>(window_.Jobs().NewStopToken(), &window_.Relay().Item());
    if (panel_.modernFormat->isChecked()) {
        // The modern format keeps the exact text and needs no notice line.
        job->format = StoredFormat::kModern;
        job->input = typed.toStdString();
    } else {
        job->input = LfToCrLf(typed.toStdString());
        try {
            CheckTextToEncrypt(job->input);
        } catch (const SealError& error) {
            window_.ShowFailure(error);
            return;
        }
    }
    if (window_.Services().ShowMessage(&window_, ResText(Msg::MemorizePassword),
                                       MessageButtons::OkCancel, MessageIcon::Warning,
                                       kProductName) != MessageAnswer::Ok) {
        return;
    }
    window_.SetBusy(true, false);
    job->languageOffset = LanguageOffset();
    if (job->format == StoredFormat::kClassic) {
        // The box shows what is being enciphered; a cancelled run leaves it so.
        SetResultsText(QString::fromStdString(NoticeLine(job->languageOffset)) + '\n' + typed,
                       false);
    }
    std::string passphrase = passphrase_.TakePassphrase();
    if (job->format == StoredFormat::kModern) {
        job->secrets.push_back(std::move(passphrase));
    } else {
        job->key = MakeKeyString(passphrase);
    }
    SecureWipe(passphrase);

    StartTextJob(window_, job, true, [this, job] {
        SetResultsText(QString::fromStdString(CrLfToLf(*job->output)), true);
    });
}

void TextPage::DecryptClicked() {
    const QString armour = panel_.text->toPlainText();
    if (passphrase_.Empty() || armour.isEmpty()) {
        window_.ShowMessageId(Msg::CheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    auto job = std::make_shared<TextJob>(window_.Jobs().NewStopToken(), &window_.Relay().Item());
    job->format = modern::DetectTextFormat(armour.toStdString());
    DecryptSecrets secrets;
    try {
        secrets =
            passphrase_.TakeDecryptSecrets(job->format, [this] { window_.SetBusy(true, false); });
    } catch (const SealError& error) {
        window_.ShowFailure(error);  // a missing key: nothing has changed
        return;
    }
    job->secrets = std::move(secrets.texts);
    job->keys = std::move(secrets.keys);
    // Armour is read with CR LF line breaks, as it was written.
    job->input = LfToCrLf(armour.toStdString());

    StartTextJob(window_, job, false, [this, job] {
        SetResultsText(QString::fromStdString(CrLfToLf(*job->output)), false);
        window_.ShowResultNote(TextDecryptedNote(job->format));
    });
}

}  // namespace sealwise::gui
