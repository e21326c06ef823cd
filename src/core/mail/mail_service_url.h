#pragma once
// Where the mail form is posted: a host and port of plain HTTP. Nothing is stored; the address
// comes from the command line, else the environment, else the built-in default.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sealwise {

struct MailServiceUrl {
    std::string host;  // a host name or an IP address (IPv6 without brackets)
    uint16_t port = 80;
    bool operator==(const MailServiceUrl&) const = default;
};

inline constexpr std::string_view kDefaultMailServiceHost = "mail.sealwise.example";
inline constexpr uint16_t kDefaultMailServicePort = 80;
inline constexpr const char* kMailServiceUrlVariable = "SEALWISE_MAIL_URL";
inline constexpr int kInvalidMailServiceUrlId = 561;

MailServiceUrl DefaultMailServiceUrl();

// Parses "http://HOST", "http://HOST:PORT" or "http://[IPV6]:PORT", optionally ending in "/".
// Throws SealError 561 with the text as argument for anything else.
MailServiceUrl ParseMailServiceUrl(std::string_view text);

// The address to use: commandLine when given, else environment when set and not empty, else
// the default. Throws SealError 561 when the chosen text does not parse.
MailServiceUrl ResolveMailServiceUrl(std::optional<std::string_view> commandLine,
                                     std::optional<std::string_view> environment);

// The value of SEALWISE_MAIL_URL, or nullopt when it is unset.
std::optional<std::string> MailServiceUrlFromEnvironment();

// The full address of the form post, e.g. "http://[::1]:8025/crypt/sealwisemobile.php".
std::string MailRequestUrl(const MailServiceUrl& url);

}  // namespace sealwise
