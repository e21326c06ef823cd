#pragma once
// Hands a composed mail to an SMTP server through libcurl.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace sealwise::mailservice {

struct SmtpSettings {
    std::string url;          // smtp://HOST:PORT or smtps://HOST:PORT (credentials may be inside)
    std::string fromAddress;  // envelope sender
    std::chrono::seconds connectTimeout{10};
    std::chrono::seconds totalTimeout{60};
};

// Sends message to recipient; returns nullopt on success, otherwise what went wrong (for the
// log: it names no part of the message).
std::optional<std::string> DeliverBySmtp(const SmtpSettings& settings, std::string_view recipient,
                                         std::string_view message);

}  // namespace sealwise::mailservice
