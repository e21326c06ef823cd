#include "gui/mail/mail_service_choice.h"

namespace sealwise::gui {

namespace {
// Set once by the start-up code before any window opens; read on the user-interface thread.
std::optional<std::string>& StoredOption() {
    static std::optional<std::string> option;
    return option;
}
}  // namespace

void SetMailUrlOption(std::optional<std::string> url) { StoredOption() = std::move(url); }

std::optional<std::string> MailUrlOption() { return StoredOption(); }

std::optional<MailServiceUrl> ChosenMailServiceUrl() {
    const std::optional<std::string> environment = MailServiceUrlFromEnvironment();
    const std::optional<std::string>& option = StoredOption();
    return ResolveMailServiceUrl(
        option ? std::optional<std::string_view>(*option) : std::nullopt,
        environment ? std::optional<std::string_view>(*environment) : std::nullopt);
}

}  // namespace sealwise::gui
