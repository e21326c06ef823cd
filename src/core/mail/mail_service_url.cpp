#include "mail/mail_service_url.h"

#include <cstdlib>

#include "mail/mail_form.h"
#include "util/errors.h"
#include "util/port_number.h"

namespace sealwise {
namespace {

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsHostName(std::string_view host) {
    if (host.empty() || host.size() > 253 || host.front() == '-' || host.front() == '.') {
        return false;
    }
    for (char c : host) {
        if (!IsAsciiAlnum(c) && c != '-' && c != '.') return false;
    }
    return true;
}

bool IsIpv6Literal(std::string_view host) {
    if (host.size() < 2 || host.find(':') == std::string_view::npos) return false;
    for (char c : host) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != ':' && c != '.') return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

std::optional<MailServiceUrl> TryParse(std::string_view text) {
    MailServiceUrl url;
    std::string_view rest;
    if (StartsWithNoCase(text, "https://")) {
        url.https = true;
        url.port = 443;
        rest = text.substr(8);
    } else if (StartsWithNoCase(text, "http://")) {
        rest = text.substr(7);
    } else {
        return std::nullopt;
    }
    if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);

    std::string_view portText;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        url.host = std::string(rest.substr(1, close - 1));
        if (!IsIpv6Literal(url.host)) return std::nullopt;
        rest.remove_prefix(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            portText = rest.substr(1);
            if (portText.empty()) return std::nullopt;
        }
    } else {
        const std::size_t colon = rest.find(':');
        url.host = std::string(rest.substr(0, colon));
        if (!IsHostName(url.host)) return std::nullopt;
        if (colon != std::string_view::npos) {
            portText = rest.substr(colon + 1);
            if (portText.empty()) return std::nullopt;
        }
    }
    if (!portText.empty()) {
        const std::optional<uint16_t> port = ParsePort(portText);
        if (!port || *port == 0) return std::nullopt;  // nothing can be reached on port 0
        url.port = *port;
    }
    return url;
}

}  // namespace

MailServiceUrl ParseMailServiceUrl(std::string_view text) {
    std::optional<MailServiceUrl> url = TryParse(text);
    if (!url) {
        throw SealError(Msg::InvalidMailServiceUrl, std::string(text),
                        "mail service address is not http(s)://HOST[:PORT]");
    }
    return *url;
}

std::optional<MailServiceUrl> ResolveMailServiceUrl(std::optional<std::string_view> commandLine,
                                                    std::optional<std::string_view> environment) {
    if (commandLine && !commandLine->empty()) return ParseMailServiceUrl(*commandLine);
    if (environment && !environment->empty()) return ParseMailServiceUrl(*environment);
    return std::nullopt;
}

std::optional<std::string> MailServiceUrlFromEnvironment() {
    const char* value = std::getenv(kMailServiceUrlVariable);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::string MailRequestUrl(const MailServiceUrl& url) {
    const bool ipv6 = url.host.find(':') != std::string::npos;
    return (url.https ? "https://" : "http://") + (ipv6 ? "[" + url.host + "]" : url.host) + ":" +
           std::to_string(url.port) + std::string(kMailServicePath);
}

}  // namespace sealwise
