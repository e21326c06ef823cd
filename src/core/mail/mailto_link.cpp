#include "mail/mailto_link.h"

namespace sealwise {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string PercentEncode(std::string_view bytes, std::string_view alsoKept = {}) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        if (IsUnreserved(c) || alsoKept.find(c) != std::string_view::npos) {
            out += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 15];
    }
    return out;
}

// CR LF, a lone CR and a lone LF all become CR LF.
std::string CrLfLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string BuildMailtoLink(const MailtoMessage& message) {
    std::string link = "mailto:" + PercentEncode(message.to, "@");
    char separator = '?';
    if (!message.subject.empty()) {
        link += separator;
        link += "subject=" + PercentEncode(CrLfLines(message.subject));
        separator = '&';
    }
    if (!message.body.empty()) {
        link += separator;
        link += "body=" + PercentEncode(CrLfLines(message.body));
    }
    return link;
}

std::string HandOffBody(std::string_view message, std::string_view armour) {
    if (message.empty()) return std::string(armour);
    return std::string(message) + "\r\n\r\n" + std::string(armour);
}

MailtoHandOff HandOffLink(const MailForm& form, std::string_view subject,
                          std::string_view pasteNote, std::size_t limit) {
    MailtoMessage message{form.recipientAddress, std::string(subject),
                          HandOffBody(form.message, form.text)};
    std::string full = BuildMailtoLink(message);
    if (full.size() <= limit) return {std::move(full), true};
    message.body = HandOffBody(form.message, pasteNote);
    return {BuildMailtoLink(message), false};
}

}  // namespace sealwise
