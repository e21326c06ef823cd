// FCrypt: encrypting the text box into armour and back (Command1, Command2), and the mail
// button that only an untouched encryption result enables.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <atomic>
#include <memory>
#include <optional>

#include "app/strings.h"
#include "gui/app/localizer.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/main/fcrypt.h"
#include "gui/main/stored_format.h"
#include "modern/modern_text.h"
#include "text/line_breaks.h"
#include "text/text_crypt.h"
#include "util/secure_wipe.h"

namespace sealwise::gui {

namespace {

constexpr int kCheckNamesAndPassword = 114;
constexpr int kMemorizePassword = 190;

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
    try {
        if (job.format == StoredFormat::kModern) {
            job.output = encrypt ? modern::SealText(job.input, job.secrets)
                                 : modern::OpenText(job.input, job.secrets);
            if (job.cancelled) job.output.reset();
        } else if (encrypt) {
            job.output = job.crypt.Encrypt(job.input, std::move(job.key), job.languageOffset);
        } else {
            job.output = job.crypt.Decrypt(job.input, std::move(job.keys));
        }
    } catch (const SealError& error) {
        job.failure = error;
    } catch (const std::exception& error) {
        job.failure = SealError(103, error.what());
    }
    SecureWipe(job.key);
    SecureWipe(job.keys);
    for (std::string& secret : job.secrets) SecureWipe(secret);
}

}  // namespace

void FCrypt::ConnectTextHandlers() {
    // Any change that is not an encryption result (typing, pasting, cutting) makes the text
    // one that must not be mailed.
    connect(text_.text, &QPlainTextEdit::textChanged, this, [this] {
        if (!settingResults_) pwd_.mail->setEnabled(false);
    });
    connect(pwd_.encryptText, &QPushButton::clicked, this, &FCrypt::EncryptTextClicked);
    connect(pwd_.decryptText, &QPushButton::clicked, this, &FCrypt::DecryptTextClicked);
}

void FCrypt::SetResultsText(const QString& text, bool mailable) {
    settingResults_ = true;
    text_.text->setPlainText(text);
    settingResults_ = false;
    pwd_.mail->setEnabled(mailable);
}

void FCrypt::EncryptTextClicked() {
    const QString typed = text_.text->toPlainText();
    if (pwd_.passphrase->text().isEmpty() || typed.isEmpty()) {
        ShowMessageId(kCheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    auto job = std::make_shared<TextJob>(jobs_->NewStopToken(), &relay_->Item());
    if (text_.modernFormat->isChecked()) {
        // The modern format keeps the exact text and needs no notice line.
        job->format = StoredFormat::kModern;
        job->input = typed.toStdString();
    } else {
        job->input = LfToCrLf(typed.toStdString());
        try {
            CheckTextToEncrypt(job->input);
        } catch (const SealError& error) {
            ShowFailure(error);
            return;
        }
    }
    if (services_.ShowMessage(this, ResText(kMemorizePassword), MessageButtons::OkCancel,
                              MessageIcon::Warning, kProductName) != MessageAnswer::Ok) {
        return;
    }
    SetBusy(true, false);
    job->languageOffset = LanguageOffset();
    if (job->format == StoredFormat::kClassic) {
        // The box shows what is being enciphered; a cancelled run leaves it so.
        SetResultsText(QString::fromStdString(NoticeLine(job->languageOffset)) + '\n' + typed,
                       false);
    }
    std::string passphrase = TakePassphrase();
    if (job->format == StoredFormat::kModern) {
        job->secrets.push_back(std::move(passphrase));
    } else {
        job->key = MakeKeyString(passphrase);
    }
    SecureWipe(passphrase);

    RunJob([job] { RunTextJob(*job, true); },
           [this, job] {
               job->cancelled = true;
               jobs_->RequestStop();
           },
           [this, job] {
               EndJob();
               if (job->failure) {
                   ShowFailure(*job->failure);
               } else if (job->output) {
                   SetResultsText(QString::fromStdString(CrLfToLf(*job->output)), true);
               }
           });
}

void FCrypt::DecryptTextClicked() {
    const QString armour = text_.text->toPlainText();
    if (pwd_.passphrase->text().isEmpty() || armour.isEmpty()) {
        ShowMessageId(kCheckNamesAndPassword, MessageIcon::Error);
        return;
    }
    auto job = std::make_shared<TextJob>(jobs_->NewStopToken(), &relay_->Item());
    job->format = FormatOfText(armour.toStdString());
    const bool modern = job->format == StoredFormat::kModern;
    if (keyEntry_.sharedSecurity()) {
        try {
            if (modern) {
                job->secrets = keyEntry_.TakeSharedKeyTexts();
            } else {
                job->keys = keyEntry_.CombineKeyCandidates();
            }
        } catch (const SealError& error) {
            ShowFailure(error);  // a missing key: nothing has changed
            return;
        }
    }
    SetBusy(true, false);
    std::string passphrase = TakePassphrase();
    if (!keyEntry_.sharedSecurity()) {
        if (modern) {
            job->secrets.push_back(passphrase);
        } else {
            job->keys = CandidateKeys(passphrase);
        }
    }
    SecureWipe(passphrase);
    // Armour is read with CR LF line breaks, as it was written.
    job->input = LfToCrLf(armour.toStdString());

    RunJob([job] { RunTextJob(*job, false); },
           [this, job] {
               job->cancelled = true;
               jobs_->RequestStop();
           },
           [this, job] {
               EndJob();
               if (job->failure) {
                   ShowFailure(*job->failure);
               } else if (job->output) {
                   SetResultsText(QString::fromStdString(CrLfToLf(*job->output)), false);
                   ShowResultNote(TextDecryptedNote(job->format));
               }
           });
}

}  // namespace sealwise::gui
