#pragma once
// The values of the mail form and the request that carries them to the mail service.
#include <cstddef>
#include <string>
#include <string_view>

namespace sealwise {

// What the user entered, as UTF-8 texts. text is the encrypted text (armour) to send.
struct MailForm {
    std::string senderName;
    std::string senderAddress;
    std::string recipientAddress;
    std::string message;  // optional, sent unencrypted
    std::string text;
};

// Fixed parts of the request.
inline constexpr std::string_view kMailServicePath = "/crypt/sealwisemobile.php";
inline constexpr std::string_view kMailContentTypeHeader =
    "Content-Type: application/x-www-form-urlencoded";

// The most characters one form value may hold.
inline constexpr std::size_t kMaxMailFieldChars = 32767;

// Message ids of the form's own failures (and of a send without any text).

// "Sealwise Mobile MAJOR.MINOR" of this build.
std::string MailUserAgent();

// Throws SealError 404 when the sender's or the recipient's address fails the address check,
// and SealError 560 when a value holds more than kMaxMailFieldChars characters.
void ValidateMailForm(const MailForm& form);

// The request body: every value encoded, the fields in the service's order. Validates first
// (see ValidateMailForm).
std::string BuildMailBody(const MailForm& form);

}  // namespace sealwise
