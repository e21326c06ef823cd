#pragma once
// The command line of sealwise-mail-service.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sealwise::mailservice {

struct ServiceOptions {
    std::string listenHost = "127.0.0.1";
    uint16_t listenPort = 8080;  // 0: any free port (the one chosen is printed)
    std::string smtpUrl = "smtp://127.0.0.1:25";
    std::string fromAddress = "noreply@mail.sealwise.example";
    std::size_t maxBodyBytes = 1024 * 1024;
};

struct ListenAddress {
    std::string host;  // IPv6 without brackets
    uint16_t port = 0;
};

// "HOST:PORT" or "[IPV6]:PORT" with a port from 0 to 65535.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

// Parses args (without the program name). Returns the options, or the exit status when the
// program should stop at once (0 after --help, 2 after a usage error printed to err).
std::variant<ServiceOptions, int> ParseServiceOptions(const std::vector<std::string>& args,
                                                      std::ostream& out, std::ostream& err);

}  // namespace sealwise::mailservice
