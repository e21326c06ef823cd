#pragma once
// The mail a client asked for, read from the form and checked before anything is sent.
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "service_answers.h"

namespace sealwise::mailservice {

// Every value as the client's bytes: Windows-1252, except for a name or message that the
// client marked as UTF-8 (the marker itself is removed).
struct MailSubmission {
    std::string senderName;
    std::string senderAddress;
    std::string recipientAddress;
    std::string message;  // may be empty
    std::string text;     // the encrypted text (armour), never empty
    bool nameIsUtf8 = false;
    bool messageIsUtf8 = false;
};

// Upper bounds of the values, in characters.
inline constexpr std::size_t kMaxNameBytes = 100;
inline constexpr std::size_t kMaxAddressBytes = 254;
inline constexpr std::size_t kMaxTextBytes = 32767;

// The client's plausibility check, and in addition only characters that may stand unquoted in
// an address (letters, digits, "." and !#$%&'*+-/=?^_`{|}~) and exactly one "@", so that no
// address can break a mail header or an SMTP command.
bool IsDeliverableAddress(std::string_view address);

// Reads the form body: exactly the fields Mode, mailabsn, mailabs, mailadr, MailText and Text,
// Mode "sealwisemobile", deliverable addresses, a name without control characters, values
// within their bounds, a field marked as UTF-8 valid UTF-8, and a Text that is well-formed
// armour (nothing else is relayed). A refusal carries the detail to append to its text, if any.
struct ReadRefusal {
    Refusal refusal;
    std::string detail;
};
std::variant<MailSubmission, ReadRefusal> ReadSubmission(std::string_view body);

}  // namespace sealwise::mailservice
