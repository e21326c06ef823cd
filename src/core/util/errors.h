#pragma once
// Typed failures of the core. Each carries the string-table id of the message the user should
// see and the argument for its "%s"; only the GUI and the CLI turn it into text.
#include <stdexcept>
#include <string>

namespace sealwise {

class SealError : public std::runtime_error {
  public:
    // stringId: base id of the message. argument: text for "%s" (for id 103 the system's
    // description, appended after a blank). detail: untranslated note for developers.
    SealError(int stringId, std::string argument = {}, const std::string& detail = {})
        : std::runtime_error(detail.empty() ? "message " + std::to_string(stringId) : detail),
          stringId_(stringId),
          argument_(std::move(argument)) {}

    int stringId() const noexcept { return stringId_; }
    const std::string& argument() const noexcept { return argument_; }

  private:
    int stringId_;
    std::string argument_;
};

}  // namespace sealwise
