#include "mail/mail_outcome.h"

#include "mail/service_codes.h"
#include "util/text_codec.h"

namespace sealwise {

MailOutcome EvaluateMailAnswer(std::string_view answer) {
    if (answer == "ok") return {MailOutcomeKind::kSent, {}, {}};
    const std::u32string characters = Utf8ToCodePoints(answer);
    constexpr std::size_t kPrefixLength = 5;
    if (characters.size() <= kPrefixLength) return {MailOutcomeKind::kNoConnection, {}, {}};
    const std::u32string_view all(characters);
    return {MailOutcomeKind::kServiceError, CodePointsToUtf8(all.substr(kPrefixLength)),
            CodePointsToUtf8(all.substr(0, kPrefixLength - 1))};
}

std::string ComposeMailOutcomeMessage(const MailOutcome& outcome,
                                      const std::function<std::string(Msg)>& text) {
    switch (outcome.kind) {
        case MailOutcomeKind::kSent:
            return text(Msg::MailSent);
        case MailOutcomeKind::kNoConnection:
            return text(Msg::MailSendError) + ". " + text(Msg::MailConnectionNeeded);
        case MailOutcomeKind::kServiceError: {
            const std::optional<Msg> ownText = ServiceCodeTextId(outcome.serviceCode);
            return text(Msg::MailSendError) + ": " +
                   (ownText ? text(*ownText) : outcome.serviceText);
        }
        case MailOutcomeKind::kCancelled:
            break;
    }
    return {};
}

}  // namespace sealwise
