#include "mail_handler.h"

#include <variant>

#include "mail_message.h"
#include "service_answers.h"
#include "submission.h"

namespace sealwise::mailservice {
namespace {

bool IsFormContentType(std::string_view contentType) {
    const std::string_view type = contentType.substr(0, contentType.find(';'));
    constexpr std::string_view kForm = "application/x-www-form-urlencoded";
    std::string lower;
    for (char c : type) {
        if (c == ' ' || c == '\t') continue;
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lower == kForm;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

PostResult Refuse(const Refusal& refusal, std::string_view detail = {}) {
    return {refusal.httpStatus, RefusalAnswer(refusal, detail), {}};
}

}  // namespace

MailHandler::MailHandler(std::string fromAddress, MailDeliverer deliver, MailLimits limits)
    : fromAddress_(std::move(fromAddress)),
      deliver_(std::move(deliver)),
      perClient_(limits.perClient, limits.window),
      perRecipient_(limits.perRecipient, limits.window) {}

PostResult MailHandler::Handle(std::string_view contentType, std::string_view body,
                               const std::string& client) {
    if (!IsFormContentType(contentType)) return Refuse(kWrongContentType);
    auto read = ReadSubmission(body);
    if (auto* refused = std::get_if<ReadRefusal>(&read)) {
        return Refuse(refused->refusal, refused->detail);
    }
    const MailSubmission& mail = std::get<MailSubmission>(read);
    // Only mails that would go out are counted: refused forms cost the SMTP server nothing.
    if (!perClient_.TryCount(client)) return Refuse(kClientLimit);
    if (!perRecipient_.TryCount(Lower(mail.recipientAddress))) return Refuse(kRecipientLimit);
    const std::string message = ComposeMailMessage(
        mail, MessageContext{fromAddress_, CurrentMailDate(), NewMessageId(fromAddress_)});
    if (std::optional<std::string> failure = deliver_(mail.recipientAddress, message)) {
        PostResult result = Refuse(kNotDelivered);
        result.logNote = *failure;
        return result;
    }
    return {200, std::string(kSentAnswer), {}};
}

}  // namespace sealwise::mailservice
