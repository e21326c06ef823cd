#pragma once
// A mailto: link (RFC 6068) that opens the desktop's mail program with a new message holding
// the armour: sending by e-mail without any mail service.
#include <cstddef>
#include <string>
#include <string_view>

#include "mail/mail_form.h"

namespace sealwise {

// Mail programs do not take links of any length. On Windows the shell and Outlook cut or refuse
// links past about 2,000 characters (2,083 is the old URL limit of the shell), and some web
// mail handlers fail beyond the same size; Thunderbird, Evolution and KMail on Linux take the
// link as one command-line argument (up to 131,072 bytes). Links up to this length work with
// all of them.
inline constexpr std::size_t kMailtoCommonLimit = 2000;

struct MailtoMessage {
    std::string to;       // may be empty: the user fills it in
    std::string subject;  // UTF-8
    std::string body;     // UTF-8; line breaks of any kind become CR LF
};

// "mailto:TO?subject=...&body=...": the address with every character but letters, digits,
// "-._~" and "@" percent-encoded; subject and body as UTF-8 with every byte but letters,
// digits and "-._~" percent-encoded (a blank is %20, never "+"), line breaks as %0D%0A.
std::string BuildMailtoLink(const MailtoMessage& message);

// The body of a hand-off: the optional message, a blank line, the armour (as the service
// would mail it).
std::string HandOffBody(std::string_view message, std::string_view armour);

struct MailtoHandOff {
    std::string link;
    bool armourInLink = true;  // false: the caller must give the armour another way (clipboard)
};

// The link for form: with the armour in the body when the whole link stays within limit,
// otherwise with pasteNote (and the optional message) in its place.
MailtoHandOff HandOffLink(const MailForm& form, std::string_view subject,
                          std::string_view pasteNote, std::size_t limit = kMailtoCommonLimit);

}  // namespace sealwise
