#pragma once
// Where the mail form is posted: a host and port, over HTTP or HTTPS. Nothing is stored; the
// address comes from the command line, else the environment. There is no built-in service:
// without one, the armour goes to the desktop's mail program (mailto_link.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sealwise {

struct MailServiceUrl {
    std::string host;  // a host name or an IP address (IPv6 without brackets)
    uint16_t port = 80;
    bool https = false;  // TLS, with the server's certificate verified
    bool operator==(const MailServiceUrl&) const = default;
};

inline constexpr const char* kMailServiceUrlVariable = "SEALWISE_MAIL_URL";

// Parses "http://HOST", "http://HOST:PORT" or "http://[IPV6]:PORT", optionally ending in "/",
// and the same with "https://" (port 443 unless given). Throws SealError 636 with the text as
// argument for anything else.
MailServiceUrl ParseMailServiceUrl(std::string_view text);

// The address to use: commandLine when given and not empty, else environment when set and not
// empty, else none. Throws SealError 636 when the chosen text does not parse.
std::optional<MailServiceUrl> ResolveMailServiceUrl(std::optional<std::string_view> commandLine,
                                                    std::optional<std::string_view> environment);

// The value of SEALWISE_MAIL_URL, or nullopt when it is unset.
std::optional<std::string> MailServiceUrlFromEnvironment();

// The full address of the form post, e.g. "http://[::1]:8025/crypt/sealwisemobile.php".
std::string MailRequestUrl(const MailServiceUrl& url);

}  // namespace sealwise
