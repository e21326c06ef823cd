#pragma once
// Which mail service the e-mail window posts to: the program's --mail-url option, else the
// SEALWISE_MAIL_URL environment variable, else none (the window then offers the desktop's mail
// program).
#include <optional>
#include <string>

#include "mail/mail_service_url.h"

namespace sealwise::gui {

// Remembers the --mail-url value the program was started with (nullopt: none given).
void SetMailUrlOption(std::optional<std::string> url);
std::optional<std::string> MailUrlOption();

// The address to post to now, nullopt when none is set. Throws SealError 636 when the chosen
// text is no valid address.
std::optional<MailServiceUrl> ChosenMailServiceUrl();

}  // namespace sealwise::gui
