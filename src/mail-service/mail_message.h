#pragma once
// The mail that the service hands to the SMTP server for one submission.
#include <string>

#include "submission.h"

namespace sealwise::mailservice {

struct MessageContext {
    std::string fromAddress;  // the service's own address: From and envelope sender
    std::string date;         // RFC 5322 date, e.g. "Tue, 08 Dec 2026 10:00:00 +0000"
    std::string messageId;    // without angle brackets
};

// The body: the optional message, a blank line, the encrypted text, each unchanged.
std::string MailBody(const MailSubmission& mail);

// Headers and body with CR LF line ends. From names the sender "via Sealwise" at the service's
// address, Reply-To is the sender's own address, and the body goes as "7bit" when it can, else
// in Base64 (which keeps every byte as well).
std::string ComposeMailMessage(const MailSubmission& mail, const MessageContext& context);

// The current time in RFC 5322 form (UTC) and a fresh random message id at the domain of
// fromAddress.
std::string CurrentMailDate();
std::string NewMessageId(const std::string& fromAddress);

}  // namespace sealwise::mailservice
