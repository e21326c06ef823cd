#include "mail/service_codes.h"

#include <array>
#include <utility>

namespace sealwise {

int ServiceCodeTextId(std::string_view code) {
    using namespace service_code;
    static constexpr std::array<std::pair<std::string_view, int>, 10> kTexts = {{
        {kInvalidRecipient, 404},
        {kInvalidSender, 404},
        {kRequestTooLarge, 560},
        {kFieldTooLong, 560},
        {kNotDelivered, 635},
        {kNotArmour, 630},
        {kClientLimit, 631},
        {kRecipientLimit, 632},
        {kBusy, 633},
        {kTooSlow, 634},
    }};
    for (const auto& [known, id] : kTexts) {
        if (known == code) return id;
    }
    return 0;
}

}  // namespace sealwise
