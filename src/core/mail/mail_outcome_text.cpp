// The outcome messages in the current language of the string table.
#include "app/strings.h"
#include "mail/mail_outcome.h"

namespace sealwise {

std::string MailOutcomeMessage(const MailOutcome& outcome) {
    return ComposeMailOutcomeMessage(outcome, [](Msg id) { return GetResText(id); });
}

}  // namespace sealwise
