#pragma once
// Which mail service the e-mail window posts to: the program's --mail-url option, else the
// SEALWISE_MAIL_URL environment variable, else the built-in default.
#include <optional>
#include <string>

#include "mail/mail_service_url.h"

namespace sealwise::gui {

// Remembers the --mail-url value the program was started with (nullopt: none given).
void SetMailUrlOption(std::optional<std::string> url);
std::optional<std::string> MailUrlOption();

// The address to post to now. Throws SealError 561 when the chosen text is no valid address.
MailServiceUrl ChosenMailServiceUrl();

}  // namespace sealwise::gui
