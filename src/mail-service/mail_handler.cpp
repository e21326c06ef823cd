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

PostResult Refuse(const Refusal& refusal, std::string_view detail = {}) {
    return {refusal.httpStatus, RefusalAnswer(refusal, detail), {}};
}

}  // namespace

PostResult HandleMailPost(std::string_view contentType, std::string_view body,
                          const std::string& fromAddress, const MailDeliverer& deliver) {
    if (!IsFormContentType(contentType)) return Refuse(kWrongContentType);
    auto read = ReadSubmission(body);
    if (auto* refused = std::get_if<ReadRefusal>(&read)) {
        return Refuse(refused->refusal, refused->detail);
    }
    const MailSubmission& mail = std::get<MailSubmission>(read);
    const std::string message = ComposeMailMessage(
        mail, MessageContext{fromAddress, CurrentMailDate(), NewMessageId(fromAddress)});
    if (std::optional<std::string> failure = deliver(mail.recipientAddress, message)) {
        PostResult result = Refuse(kNotDelivered);
        result.logNote = *failure;
        return result;
    }
    return {200, std::string(kSentAnswer), {}};
}

}  // namespace sealwise::mailservice
