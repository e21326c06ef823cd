#include "service_options.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "submission.h"

namespace sealwise::mailservice {
namespace {

constexpr std::size_t kMinBody = 4096;
constexpr std::size_t kMaxBody = 64 * 1024 * 1024;

std::optional<uint16_t> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
    ListenAddress address;
    std::string_view portText;
    if (StartsWith(text, "[")) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close == 1) return std::nullopt;
        if (text.substr(close + 1, 1) != ":") return std::nullopt;
        address.host = std::string(text.substr(1, close - 1));
        portText = text.substr(close + 2);
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos || colon == 0) return std::nullopt;
        address.host = std::string(text.substr(0, colon));
        if (address.host.find(':') != std::string::npos) return std::nullopt;
        portText = text.substr(colon + 1);
    }
    const std::optional<uint16_t> port = ParsePort(portText);
    if (!port) return std::nullopt;
    address.port = *port;
    return address;
}

std::variant<ServiceOptions, int> ParseServiceOptions(const std::vector<std::string>& args,
                                                      std::ostream& out, std::ostream& err) {
    ServiceOptions options;
    std::string listen = options.listenHost + ":" + std::to_string(options.listenPort);
    CLI::App app{
        "Receives the Sealwise mail form over HTTP and mails the encrypted text through "
        "an SMTP server. Answers \"ok\", or a five-character code and an error text.",
        "sealwise-mail-service"};
    app.add_option("--listen", listen,
                   "address and port to listen on, HOST:PORT or [IPV6]:PORT "
                   "(port 0 picks a free one)")
        ->capture_default_str();
    app.add_option("--smtp-url", options.smtpUrl, "SMTP server, smtp://HOST:PORT or smtps://...")
        ->capture_default_str();
    app.add_option("--from-address", options.fromAddress,
                   "the service's own address: envelope sender and From of every mail")
        ->capture_default_str();
    app.add_option("--max-body", options.maxBodyBytes, "largest request body accepted, in bytes")
        ->capture_default_str()
        ->check(CLI::Range(kMinBody, kMaxBody));

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << "sealwise-mail-service: error: " << e.what() << "\n";
        return 2;
    }

    const std::optional<ListenAddress> address = ParseListenAddress(listen);
    if (!address) {
        err << "sealwise-mail-service: error: --listen expects HOST:PORT or [IPV6]:PORT, not '"
            << listen << "'\n";
        return 2;
    }
    options.listenHost = address->host;
    options.listenPort = address->port;
    if (!StartsWith(options.smtpUrl, "smtp://") && !StartsWith(options.smtpUrl, "smtps://")) {
        err << "sealwise-mail-service: error: --smtp-url must start with smtp:// or smtps://\n";
        return 2;
    }
    if (!IsDeliverableAddress(options.fromAddress)) {
        err << "sealwise-mail-service: error: --from-address '" << options.fromAddress
            << "' is not a usable mail address\n";
        return 2;
    }
    return options;
}

}  // namespace sealwise::mailservice
