#include "mail_message.h"

#include <ctime>

#include "mime_encoding.h"
#include "util/secure_random.h"

namespace sealwise::mailservice {

std::string MailBody(const MailSubmission& mail) {
    if (mail.message.empty()) return mail.text + "\r\n";
    return mail.message + "\r\n\r\n" + mail.text + "\r\n";
}

std::string ComposeMailMessage(const MailSubmission& mail, const MessageContext& context) {
    const bool named = !mail.senderName.empty();
    const std::string fromName =
        named ? HeaderPhrase(mail.senderName + " via Sealwise", true, mail.nameIsUtf8) : "Sealwise";
    const std::string replyTo = named ? HeaderPhrase(mail.senderName, true, mail.nameIsUtf8) +
                                            " <" + mail.senderAddress + ">"
                                      : "<" + mail.senderAddress + ">";
    const std::string subjectName =
        named ? HeaderPhrase(mail.senderName, false, mail.nameIsUtf8) : mail.senderAddress;

    const std::string body = MailBody(mail);
    const bool plain = IsSevenBitClean(body);

    std::string out;
    out += "Date: " + context.date + "\r\n";
    out += "From: " + fromName + " <" + context.fromAddress + ">\r\n";
    out += "Reply-To: " + replyTo + "\r\n";
    out += "To: <" + mail.recipientAddress + ">\r\n";
    out += "Subject: Encrypted message from " + subjectName + "\r\n";
    out += "Message-ID: <" + context.messageId + ">\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += std::string("Content-Type: text/plain; charset=") +
           (mail.messageIsUtf8 ? "utf-8" : "windows-1252") + "\r\n";
    out += std::string("Content-Transfer-Encoding: ") + (plain ? "7bit" : "base64") + "\r\n";
    out += "\r\n";
    out += plain ? body : Base64Lines(body) + "\r\n";
    return out;
}

std::string CurrentMailDate() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    const std::size_t length =
        std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S +0000", &utc);
    return std::string(text, length);
}

std::string NewMessageId(const std::string& fromAddress) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string id;
    for (uint8_t b : SecureRandomBytes(16)) {
        id += kHex[b >> 4];
        id += kHex[b & 15];
    }
    const std::size_t at = fromAddress.rfind('@');
    return id + "@" + (at == std::string::npos ? "localhost" : fromAddress.substr(at + 1));
}

}  // namespace sealwise::mailservice
