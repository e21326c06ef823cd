#include "mail/mail_form.h"

#include "mail/address_check.h"
#include "mail/form_encoding.h"
#include "util/errors.h"
#include "util/text_codec.h"

namespace sealwise {
namespace {

void CheckLength(std::string_view value, std::string_view field) {
    // A quick bound first: a UTF-8 character takes at most four bytes.
    if (value.size() <= kMaxMailFieldChars) return;
    if (Utf8ToCodePoints(value).size() > kMaxMailFieldChars) {
        throw SealError(Msg::MailFieldTooLong, {},
                        "mail form field " + std::string(field) + " is longer than " +
                            std::to_string(kMaxMailFieldChars) + " characters");
    }
}

}  // namespace

std::string MailUserAgent() {
    return "Sealwise Mobile " + std::to_string(SEALWISE_VERSION_MAJOR) + "." +
           std::to_string(SEALWISE_VERSION_MINOR);
}

void ValidateMailForm(const MailForm& form) {
    if (!IsValidMailAddress(form.recipientAddress) || !IsValidMailAddress(form.senderAddress)) {
        throw SealError(Msg::InvalidMailAddress, {}, "sender or recipient address fails the check");
    }
    CheckLength(form.senderName, "sender name");
    CheckLength(form.senderAddress, "sender address");
    CheckLength(form.recipientAddress, "recipient address");
    CheckLength(form.message, "message");
    CheckLength(form.text, "text");
}

std::string BuildMailBody(const MailForm& form) {
    ValidateMailForm(form);
    return "Mode=sealwisemobile&mailabsn=" + EncodeFormField(form.senderName) +
           "&mailabs=" + EncodeFormField(form.senderAddress) +
           "&mailadr=" + EncodeFormField(form.recipientAddress) +
           "&MailText=" + EncodeFormField(form.message) + "&Text=" + EncodeFormField(form.text);
}

}  // namespace sealwise
