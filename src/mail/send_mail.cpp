#include "mail/send_mail.h"

namespace sealwise {

MailSendResult SendMail(const MailForm& form, const MailServiceUrl& url,
                        const MailTransferOptions& options) {
    const std::string body = BuildMailBody(form);
    MailAnswer answer = PostMailForm(url, body, options);
    if (answer.cancelled) return {{MailOutcomeKind::kCancelled, {}, {}}, {}};
    return {EvaluateMailAnswer(answer.text), std::move(answer.transportError)};
}

}  // namespace sealwise
