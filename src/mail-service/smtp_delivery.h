#pragma once
// Hands a composed mail to an SMTP server through libcurl.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace sealwise::mailservice {

struct SmtpCredentials {
    std::string user;
    std::string password;
};

struct SmtpSettings {
    std::string url;          // smtp://HOST:PORT or smtps://HOST:PORT, never with credentials
    std::string fromAddress;  // envelope sender
    std::optional<SmtpCredentials> credentials;
    std::string caFile;  // certificate authorities to trust instead of the system's
    std::chrono::seconds connectTimeout{10};
    std::chrono::seconds totalTimeout{60};
};

// Sends message to recipient; returns nullopt on success, otherwise what went wrong (for the
// log: it names no part of the message and no credential). The server's certificate is always
// verified. With credentials the whole session is encrypted (smtps, or STARTTLS that must
// succeed), so that AUTH never goes in clear; without them STARTTLS is used when offered.
std::optional<std::string> DeliverBySmtp(const SmtpSettings& settings, std::string_view recipient,
                                         std::string_view message);

}  // namespace sealwise::mailservice
