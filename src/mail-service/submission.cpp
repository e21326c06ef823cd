#include "submission.h"

#include <algorithm>
#include <array>
#include <optional>

#include "form_body.h"
#include "mail/address_check.h"
#include "util/text_codec.h"

namespace sealwise::mailservice {
namespace {

bool IsAddressCharacter(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return std::string_view(".!#$%&'*+-/=?^_`{|}~@").find(c) != std::string_view::npos;
}

bool HasControlCharacter(std::string_view bytes) {
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7F) return true;
    }
    return false;
}

}  // namespace

bool IsDeliverableAddress(std::string_view address) {
    if (address.empty() || address.size() > kMaxAddressBytes) return false;
    for (char c : address) {
        if (!IsAddressCharacter(c)) return false;
    }
    if (address.find('@') != address.rfind('@')) return false;
    const std::string text =
        Cp1252ToText(reinterpret_cast<const uint8_t*>(address.data()), address.size());
    return IsValidMailAddress(text);
}

std::variant<MailSubmission, ReadRefusal> ReadSubmission(std::string_view body) {
    std::optional<FormFields> fields = DecodeFormBody(body);
    if (!fields) return ReadRefusal{kMalformedForm, {}};

    constexpr std::array<std::string_view, 6> kNames = {"Mode",    "mailabsn", "mailabs",
                                                        "mailadr", "MailText", "Text"};
    for (const auto& [name, value] : *fields) {
        if (std::find(kNames.begin(), kNames.end(), name) == kNames.end()) {
            return ReadRefusal{kMalformedForm, {}};
        }
    }
    for (std::string_view name : kNames) {
        if (!fields->contains(name)) return ReadRefusal{kMissingField, std::string(name)};
    }
    auto field = [&](std::string_view name) -> std::string& { return fields->find(name)->second; };

    if (field("Mode") != "sealwisemobile") return ReadRefusal{kUnsupportedMode, {}};
    MailSubmission mail{std::move(field("mailabsn")), std::move(field("mailabs")),
                        std::move(field("mailadr")), std::move(field("MailText")),
                        std::move(field("Text"))};
    if (!IsDeliverableAddress(mail.recipientAddress)) return ReadRefusal{kInvalidRecipient, {}};
    if (!IsDeliverableAddress(mail.senderAddress)) return ReadRefusal{kInvalidSender, {}};
    if (mail.senderName.size() > kMaxNameBytes || HasControlCharacter(mail.senderName)) {
        return ReadRefusal{kInvalidSenderName, {}};
    }
    if (mail.message.size() > kMaxTextBytes) return ReadRefusal{kFieldTooLong, "MailText"};
    if (mail.text.size() > kMaxTextBytes) return ReadRefusal{kFieldTooLong, "Text"};
    if (mail.text.empty()) return ReadRefusal{kNoEncryptedText, {}};
    return mail;
}

}  // namespace sealwise::mailservice
