#pragma once
// What the service's answer means and the message the user gets for it.
#include <functional>
#include <string>
#include <string_view>

#include "app/msg.h"

namespace sealwise {

enum class MailOutcomeKind {
    kSent,          // the answer was exactly "ok"
    kNoConnection,  // no answer, or one too short to carry an error text
    kServiceError,  // the service explained the failure (serviceText)
    kCancelled,     // the caller stopped the request; nothing to report
};

struct MailOutcome {
    MailOutcomeKind kind = MailOutcomeKind::kNoConnection;
    std::string serviceText;  // for kServiceError: the answer from its sixth character on
    std::string serviceCode;  // for kServiceError: its first four characters ("E013")
};

// "ok" means sent; an answer of fewer than six characters means no usable answer; anything
// else is an error text behind a five-character prefix. Characters, not bytes, are counted.
MailOutcome EvaluateMailAnswer(std::string_view answer);

// The text shown for an outcome, with the string-table lookup passed in:
// MailSent; MailSendError + ". " + MailConnectionNeeded; MailSendError + ": " + the client's
// own text for the service's code, or the service's text for a code without one. Empty for
// kCancelled.
std::string ComposeMailOutcomeMessage(const MailOutcome& outcome,
                                      const std::function<std::string(Msg)>& text);

// ComposeMailOutcomeMessage with the string table in the current language.
std::string MailOutcomeMessage(const MailOutcome& outcome);

}  // namespace sealwise
