#pragma once
// The settings of sealwise-mail-service: command line, configuration file (--config, the same
// names as the long options, "name = value" per line; the command line wins) and SMTP
// credentials, which never come from the command line.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "http_server.h"
#include "mail_handler.h"
#include "smtp_delivery.h"

namespace sealwise::mailservice {

struct ServiceOptions {
    std::string listenHost = "127.0.0.1";
    uint16_t listenPort = 8080;  // 0: any free port (the one chosen is printed)
    std::string smtpUrl = "smtp://127.0.0.1:25";
    std::string fromAddress = "noreply@mail.sealwise.example";
    std::string smtpCaFile;  // empty: the system's certificate authorities
    std::optional<SmtpCredentials> credentials;
    HttpServerLimits server;  // server.maxBodyBytes is --max-body
    MailLimits mail;
};

struct ListenAddress {
    std::string host;  // IPv6 without brackets
    uint16_t port = 0;
};

// "HOST:PORT" or "[IPV6]:PORT" with a port from 0 to 65535.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

// Environment variables that can hold the SMTP credentials, and the file systemd passes with
// LoadCredential=smtp-credentials:... (in $CREDENTIALS_DIRECTORY).
inline constexpr const char* kSmtpUserVariable = "SEALWISE_SMTP_USER";
inline constexpr const char* kSmtpPasswordVariable = "SEALWISE_SMTP_PASSWORD";
inline constexpr const char* kSystemdCredentialName = "smtp-credentials";

// Reads a credentials file: the user name on the first line, the password on the second (line
// ends and a leading BOM removed). Returns an error text instead when the file cannot be read,
// lacks either line, or can be read by users other than its owner and group.
std::variant<SmtpCredentials, std::string> ReadCredentialsFile(const std::string& path);

// Parses args (without the program name). Returns the options, or the exit status when the
// program should stop at once (0 after --help, 2 after a usage error printed to err).
// environment looks up a variable (nullopt when unset).
using Environment = std::optional<std::string> (*)(const char* name);
std::variant<ServiceOptions, int> ParseServiceOptions(const std::vector<std::string>& args,
                                                      std::ostream& out, std::ostream& err,
                                                      Environment environment = nullptr);

}  // namespace sealwise::mailservice
