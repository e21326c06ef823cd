#include "app/message.h"

#include <ostream>

namespace sealwise {

std::ostream& operator<<(std::ostream& out, Msg id) {
    const std::string_view name = MsgName(id);
    return out << (name.empty() ? "Msg" : name) << " (" << static_cast<int>(id) << ")";
}

std::ostream& operator<<(std::ostream& out, const Message& message) {
    out << message.id;
    if (!message.argument.empty()) out << " \"" << message.argument << '"';
    if (!message.secondArgument.empty()) out << " \"" << message.secondArgument << '"';
    return out;
}

}  // namespace sealwise
