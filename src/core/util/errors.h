#pragma once
// Typed failures of the core. Each carries the string-table id of the message the user should
// see and the argument for its "%s"; only the GUI and the CLI turn it into text.
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/msg.h"

namespace sealwise {

class SealError : public std::runtime_error {
  public:
    // stringId: the message. argument: text for "%s" (for SystemError the system's
    // description, appended after a blank). detail: untranslated note for developers.
    SealError(Msg stringId, std::string argument = {}, const std::string& detail = {})
        : std::runtime_error(
              detail.empty() ? "message " + std::to_string(static_cast<int>(stringId)) : detail),
          stringId_(stringId),
          argument_(std::move(argument)) {}

    Msg stringId() const noexcept { return stringId_; }
    const std::string& argument() const noexcept { return argument_; }

  private:
    Msg stringId_;
    std::string argument_;
};

// Runs work and returns how it failed, if it did: its SealError as thrown, any other exception
// as a system error that carries the exception's text.
template <class Work>
std::optional<SealError> FailureOf(Work&& work) {
    try {
        std::forward<Work>(work)();
    } catch (const SealError& error) {
        return error;
    } catch (const std::exception& error) {
        return SealError(Msg::SystemError, error.what());
    }
    return std::nullopt;
}

}  // namespace sealwise
