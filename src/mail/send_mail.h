#pragma once
// The whole send of the mail form: check, encode, post, evaluate. This is the one call a
// window or a command needs; it blocks until the service answered or the time-out passed.
#include "mail/mail_form.h"
#include "mail/mail_outcome.h"
#include "mail/mail_post.h"
#include "mail/mail_service_url.h"

namespace sealwise {

struct MailSendResult {
    MailOutcome outcome;
    std::string transportError;  // for developers: why nothing came back, if so
};

// Throws SealError 404 (an address fails the check) or 560 (a value is too long) before
// anything is sent; every network failure ends as MailOutcomeKind::kNoConnection.
MailSendResult SendMail(const MailForm& form, const MailServiceUrl& url,
                        const MailTransferOptions& options = {});

}  // namespace sealwise
