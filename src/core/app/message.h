#pragma once
// A text of the string table with the values for its placeholders. Success notes, questions
// and notices travel as a Message; failures travel as SealError.
#include <iosfwd>
#include <string>

#include "app/msg.h"

namespace sealwise {

struct Message {
    Msg id{};
    std::string argument{};        // fills "%s" (for SystemError: appended after a blank)
    std::string secondArgument{};  // fills "%d"

    bool operator==(const Message&) const = default;
};

// Writes the name and number of an id ("SavedAs (116)"), for logs and test output.
std::ostream& operator<<(std::ostream& out, Msg id);
std::ostream& operator<<(std::ostream& out, const Message& message);

}  // namespace sealwise
