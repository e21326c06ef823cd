#pragma once
// A mail form the client would send and the service accepts, for tests to vary.
#include <string>

#include "mail/mail_form.h"
#include "text/base64.h"

namespace sealwise::mailservice {

// Armour of 64 bytes: a line of 76 characters and one of 12.
inline const std::string kArmour = EncodeBase64(Bytes(64, 0xA5));

inline MailForm ValidForm() {
    return {"Ann \"A\" B\xC3\xA4r", "ann@example.org", "bob@example.net",
            "Hi Bob,\r\nsee below & reply = fine + 100%", kArmour};
}

}  // namespace sealwise::mailservice
