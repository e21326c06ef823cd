#include "submission.h"

#include <algorithm>
#include <array>
#include <optional>

#include "form_body.h"
#include "mail/address_check.h"
#include "mail/armour_shape.h"
#include "mail/form_encoding.h"
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

// Removes the UTF-8 marker; true when it was there. A marked value must be valid UTF-8.
bool TakeUtf8Marker(std::string& value, bool& valid) {
    valid = true;
    if (value.compare(0, kUtf8FieldMarker.size(), kUtf8FieldMarker) != 0) return false;
    value.erase(0, kUtf8FieldMarker.size());
    valid = CodePointsToUtf8(Utf8ToCodePoints(value)) == value;
    return true;
}

bool HasC1Control(std::string_view utf8) {
    for (char32_t c : Utf8ToCodePoints(utf8)) {
        if (c >= 0x80 && c <= 0x9F) return true;
    }
    return false;
}

std::size_t CharacterCount(const std::string& value, bool utf8) {
    return utf8 ? Utf8ToCodePoints(value).size() : value.size();
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
    // Checked before anything is decoded, so that no value costs more than its bound.
    if (mail.message.size() > kMaxTextBytes * 4) return ReadRefusal{kFieldTooLong, "MailText"};
    if (mail.text.size() > kMaxTextBytes * 4) return ReadRefusal{kFieldTooLong, "Text"};
    bool valid = true, validMessage = true, unusedValid = true;
    mail.nameIsUtf8 = TakeUtf8Marker(mail.senderName, valid);
    mail.messageIsUtf8 = TakeUtf8Marker(mail.message, validMessage);
    const bool textIsUtf8 = TakeUtf8Marker(mail.text, unusedValid);  // armour is ASCII anyway
    TakeUtf8Marker(mail.senderAddress, unusedValid);
    TakeUtf8Marker(mail.recipientAddress, unusedValid);
    if (!valid || !validMessage) return ReadRefusal{kMalformedForm, {}};

    if (!IsDeliverableAddress(mail.recipientAddress)) return ReadRefusal{kInvalidRecipient, {}};
    if (!IsDeliverableAddress(mail.senderAddress)) return ReadRefusal{kInvalidSender, {}};
    if (CharacterCount(mail.senderName, mail.nameIsUtf8) > kMaxNameBytes ||
        HasControlCharacter(mail.senderName) ||
        (mail.nameIsUtf8 && HasC1Control(mail.senderName))) {
        return ReadRefusal{kInvalidSenderName, {}};
    }
    if (CharacterCount(mail.message, mail.messageIsUtf8) > kMaxTextBytes) {
        return ReadRefusal{kFieldTooLong, "MailText"};
    }
    if (CharacterCount(mail.text, textIsUtf8) > kMaxTextBytes) {
        return ReadRefusal{kFieldTooLong, "Text"};
    }
    if (mail.text.empty()) return ReadRefusal{kNoEncryptedText, {}};
    if (!IsWellFormedArmour(mail.text)) return ReadRefusal{kNotArmour, {}};
    return mail;
}

}  // namespace sealwise::mailservice
