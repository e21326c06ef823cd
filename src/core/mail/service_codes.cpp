#include "mail/service_codes.h"

#include <array>
#include <utility>

namespace sealwise {

std::optional<Msg> ServiceCodeTextId(std::string_view code) {
    using namespace service_code;
    static constexpr std::array<std::pair<std::string_view, Msg>, 10> kTexts = {{
        {kInvalidRecipient, Msg::InvalidMailAddress},
        {kInvalidSender, Msg::InvalidMailAddress},
        {kRequestTooLarge, Msg::MailFieldTooLong},
        {kFieldTooLong, Msg::MailFieldTooLong},
        {kNotDelivered, Msg::MailNotDelivered},
        {kNotArmour, Msg::MailTextNotArmour},
        {kClientLimit, Msg::MailSenderLimit},
        {kRecipientLimit, Msg::MailRecipientLimit},
        {kBusy, Msg::MailServiceBusy},
        {kTooSlow, Msg::MailConnectionTooSlow},
    }};
    for (const auto& [known, id] : kTexts) {
        if (known == code) return id;
    }
    return std::nullopt;
}

}  // namespace sealwise
