#include "service_options.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <fstream>
#include <ostream>

#include "submission.h"
#include "util/port_number.h"

namespace sealwise::mailservice {
namespace {

constexpr std::size_t kMinBody = 4096;
constexpr std::size_t kMaxBody = 64 * 1024 * 1024;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<std::string> ProcessEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

// True when the URL's authority holds a user name or password ("user:secret@host").
bool HasUserInfo(std::string_view url) {
    const std::size_t start = url.find("://");
    if (start == std::string_view::npos) return false;
    const std::string_view rest = url.substr(start + 3);
    return rest.substr(0, rest.find('/')).find('@') != std::string_view::npos;
}

std::string WithoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

// Credentials from the file option, the environment or systemd, in that order; an error text
// when a source is present but unusable.
std::variant<std::optional<SmtpCredentials>, std::string> FindCredentials(const std::string& file,
                                                                          Environment environment) {
    if (!file.empty()) {
        auto read = ReadCredentialsFile(file);
        if (auto* error = std::get_if<std::string>(&read)) return *error;
        return std::optional<SmtpCredentials>(std::get<SmtpCredentials>(read));
    }
    const std::optional<std::string> user = environment(kSmtpUserVariable);
    const std::optional<std::string> password = environment(kSmtpPasswordVariable);
    if (user || password) {
        if (!user || !password || user->empty()) {
            return std::string("set both ") + kSmtpUserVariable + " and " + kSmtpPasswordVariable;
        }
        return std::optional<SmtpCredentials>(SmtpCredentials{*user, *password});
    }
    if (const std::optional<std::string> directory = environment("CREDENTIALS_DIRECTORY")) {
        const std::string path = *directory + "/" + kSystemdCredentialName;
        struct stat info {};
        if (stat(path.c_str(), &info) == 0) return FindCredentials(path, environment);
    }
    return std::optional<SmtpCredentials>();
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

std::variant<SmtpCredentials, std::string> ReadCredentialsFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    struct stat info {};
    if (!file || stat(path.c_str(), &info) != 0) {
        return "cannot read the credentials file '" + path + "'";
    }
    if ((info.st_mode & S_IRWXO) != 0) {
        return "the credentials file '" + path + "' can be read by other users (chmod o-rwx)";
    }
    std::string user, password;
    std::getline(file, user);
    std::getline(file, password);
    user = WithoutLineEnd(std::move(user));
    password = WithoutLineEnd(std::move(password));
    if (StartsWith(user, "\xEF\xBB\xBF")) user.erase(0, 3);
    if (user.empty() || password.empty()) {
        return "the credentials file '" + path +
               "' must hold the user name on its first line and the password on its second";
    }
    return SmtpCredentials{user, password};
}

std::variant<ServiceOptions, int> ParseServiceOptions(const std::vector<std::string>& args,
                                                      std::ostream& out, std::ostream& err,
                                                      Environment environment) {
    if (environment == nullptr) environment = ProcessEnvironment;
    ServiceOptions options;
    HttpServerLimits& server = options.server;
    std::string listen = options.listenHost + ":" + std::to_string(options.listenPort);
    std::string credentialsFile;
    long long timeoutSeconds = server.requestTimeout.count() / 1000;
    long long windowSeconds = options.mail.window.count();
    CLI::App app{
        "Receives the Sealwise mail form over HTTP and mails the encrypted text through "
        "an SMTP server. Answers \"ok\", or a five-character code and an error text.",
        "sealwise-mail-service"};
    app.allow_config_extras(CLI::config_extras_mode::error);
    app.set_config("--config", "", "read settings from FILE (name = value, one per line)");
    app.add_option("--listen", listen,
                   "address and port to listen on, HOST:PORT or [IPV6]:PORT "
                   "(port 0 picks a free one)")
        ->capture_default_str();
    app.add_option("--smtp-url", options.smtpUrl,
                   "SMTP server, smtp://HOST:PORT or smtps://HOST:PORT (no credentials here)")
        ->capture_default_str();
    app.add_option("--smtp-credentials-file", credentialsFile,
                   "file with the SMTP user name (first line) and password (second line); "
                   "else " +
                       std::string(kSmtpUserVariable) + " and " + kSmtpPasswordVariable +
                       ", else $CREDENTIALS_DIRECTORY/" + kSystemdCredentialName);
    app.add_option("--smtp-ca-file", options.smtpCaFile,
                   "certificate authorities to trust for the SMTP server (default: the system's)");
    app.add_option("--from-address", options.fromAddress,
                   "the service's own address: envelope sender and From of every mail")
        ->capture_default_str();
    app.add_option("--max-body", server.maxBodyBytes, "largest request body accepted, in bytes")
        ->capture_default_str()
        ->check(CLI::Range(kMinBody, kMaxBody));
    app.add_option("--max-connections", server.maxConnections, "open connections at most")
        ->capture_default_str()
        ->check(CLI::Range(1, 100000));
    app.add_option("--max-client-connections", server.maxConnectionsPerClient,
                   "open connections from one client address at most")
        ->capture_default_str()
        ->check(CLI::Range(1, 100000));
    app.add_option("--request-timeout", timeoutSeconds,
                   "seconds a client has to send its whole request")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600));
    app.add_option("--workers", server.workers, "mails delivered at the same time")
        ->capture_default_str()
        ->check(CLI::Range(1, 256));
    app.add_option("--max-queued", server.maxQueued,
                   "complete requests waiting for a worker at most; more are answered busy")
        ->capture_default_str()
        ->check(CLI::Range(1, 100000));
    app.add_option("--client-limit", options.mail.perClient,
                   "mails accepted from one client address per window (0: no limit)")
        ->capture_default_str();
    app.add_option("--recipient-limit", options.mail.perRecipient,
                   "mails accepted to one recipient address per window (0: no limit)")
        ->capture_default_str();
    app.add_option("--limit-window", windowSeconds, "length of the limits' window, in seconds")
        ->capture_default_str()
        ->check(CLI::Range(1, 7 * 24 * 3600));
    app.add_option("--trusted-proxy", server.trustedProxy,
                   "address of a reverse proxy in front: its connections are not capped per "
                   "client, and X-Forwarded-For names the client of its requests");

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
    server.requestTimeout = std::chrono::seconds(timeoutSeconds);
    server.maxBufferedBytes = std::max(server.maxBufferedBytes, 2 * server.maxBodyBytes);
    options.mail.window = std::chrono::seconds(windowSeconds);
    if (!StartsWith(options.smtpUrl, "smtp://") && !StartsWith(options.smtpUrl, "smtps://")) {
        err << "sealwise-mail-service: error: --smtp-url must start with smtp:// or smtps://\n";
        return 2;
    }
    if (HasUserInfo(options.smtpUrl)) {
        // Anything on the command line shows in the process list.
        err << "sealwise-mail-service: error: --smtp-url must not hold credentials; use "
               "--smtp-credentials-file or the environment\n";
        return 2;
    }
    if (!IsDeliverableAddress(options.fromAddress)) {
        err << "sealwise-mail-service: error: --from-address '" << options.fromAddress
            << "' is not a usable mail address\n";
        return 2;
    }
    auto credentials = FindCredentials(credentialsFile, environment);
    if (auto* error = std::get_if<std::string>(&credentials)) {
        err << "sealwise-mail-service: error: " << *error << "\n";
        return 2;
    }
    options.credentials = std::get<std::optional<SmtpCredentials>>(credentials);
    return options;
}

}  // namespace sealwise::mailservice
