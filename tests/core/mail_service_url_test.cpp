#include "mail/mail_service_url.h"

#include <gtest/gtest.h>

#include "mail/mail_outcome.h"
#include "util/errors.h"

namespace sealwise {
namespace {

TEST(MailServiceUrl, ParsesHostsAndPorts) {
    EXPECT_EQ(ParseMailServiceUrl("http://127.0.0.1:8025"), (MailServiceUrl{"127.0.0.1", 8025}));
    EXPECT_EQ(ParseMailServiceUrl("HTTP://Mail.Example.com/"),
              (MailServiceUrl{"Mail.Example.com", 80}));
    EXPECT_EQ(ParseMailServiceUrl("http://[::1]:65535"), (MailServiceUrl{"::1", 65535}));
    EXPECT_EQ(ParseMailServiceUrl("http://[::1]"), (MailServiceUrl{"::1", 80}));
    EXPECT_EQ(ParseMailServiceUrl("https://mail.example.com"),
              (MailServiceUrl{"mail.example.com", 443, true}));
    EXPECT_EQ(ParseMailServiceUrl("HTTPS://[::1]:8443/"), (MailServiceUrl{"::1", 8443, true}));
}

TEST(MailServiceUrl, RefusesEverythingElseWithTheText) {
    for (const char* bad :
         {"", "127.0.0.1:8025", "httpss://mail.example.com", "https://", "ftp://host", "http://",
          "http://:80", "http://host:", "http://host:0", "http://host:65536", "http://host:8o",
          "http://host/x", "http://user@host", "http://[::1", "http://[::1]8025",
          "http://[host]:80", "http://ho st", "http://-host"}) {
        try {
            ParseMailServiceUrl(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const SealError& e) {
            EXPECT_EQ(e.stringId(), Msg::InvalidMailServiceUrl);
            EXPECT_EQ(e.argument(), bad);
        }
    }
}

TEST(MailServiceUrl, CommandLineBeatsEnvironmentAndNoneIsNone) {
    EXPECT_FALSE(ResolveMailServiceUrl(std::nullopt, std::nullopt));
    EXPECT_FALSE(ResolveMailServiceUrl(std::nullopt, ""));
    EXPECT_FALSE(ResolveMailServiceUrl("", ""));
    EXPECT_EQ(ResolveMailServiceUrl(std::nullopt, "http://env.example:1")->host, "env.example");
    EXPECT_EQ(ResolveMailServiceUrl("http://cli.example:2", "http://env.example:1")->host,
              "cli.example");
    EXPECT_THROW(ResolveMailServiceUrl("nonsense", "http://env.example:1"), SealError);
}

TEST(MailServiceUrl, RequestAddress) {
    EXPECT_EQ(MailRequestUrl({"mail.example", 80}),
              "http://mail.example:80/crypt/sealwisemobile.php");
    EXPECT_EQ(MailRequestUrl({"::1", 8025}), "http://[::1]:8025/crypt/sealwisemobile.php");
    EXPECT_EQ(MailRequestUrl({"mail.example", 443, true}),
              "https://mail.example:443/crypt/sealwisemobile.php");
}

TEST(MailAnswer, ThreeOutcomes) {
    EXPECT_EQ(EvaluateMailAnswer("ok").kind, MailOutcomeKind::kSent);
    for (const char* shortAnswer : {"", "ok\r\n", "OK", "ok ", "E001 "}) {
        EXPECT_EQ(EvaluateMailAnswer(shortAnswer).kind, MailOutcomeKind::kNoConnection)
            << shortAnswer;
    }
    const MailOutcome refused = EvaluateMailAnswer("E001 Invalid recipient address");
    EXPECT_EQ(refused.kind, MailOutcomeKind::kServiceError);
    EXPECT_EQ(refused.serviceText, "Invalid recipient address");
    EXPECT_EQ(EvaluateMailAnswer("ok\r\nXok").serviceText, "ok");
    // Characters count, not bytes: five umlauts are the prefix.
    EXPECT_EQ(EvaluateMailAnswer("\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
                                 "Fehler")
                  .serviceText,
              "Fehler");
    EXPECT_EQ(EvaluateMailAnswer("\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4").kind,
              MailOutcomeKind::kNoConnection);
}

TEST(MailAnswer, MessagesFromTheTable) {
    const auto lookup = [](Msg id) { return "<" + std::to_string(static_cast<int>(id)) + ">"; };
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kSent, {}, {}}, lookup), "<401>");
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kNoConnection, {}, {}}, lookup),
              "<402>. <403>");
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kServiceError, "Bad", {}}, lookup),
              "<402>: Bad");
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kCancelled, {}, {}}, lookup), "");
}

TEST(MailAnswer, KnownCodesShowTheClientsOwnText) {
    const auto lookup = [](Msg id) { return "<" + std::to_string(static_cast<int>(id)) + ">"; };
    const struct {
        const char* answer;
        const char* shown;
    } cases[] = {
        {"E012 The text is not an encrypted text", "<402>: <630>"},
        {"E013 Too many messages from your address", "<402>: <631>"},
        {"E014 Too many messages to this recipient", "<402>: <632>"},
        {"E015 The service is busy", "<402>: <633>"},
        {"E016 The request took too long", "<402>: <634>"},
        {"E011 The mail could not be delivered", "<402>: <635>"},
        {"E007 The request is too large", "<402>: <560>"},
        {"E001 Invalid recipient address", "<402>: <404>"},
        {"E005 Unsupported mode", "<402>: Unsupported mode"},  // no own text: the service's
        {"X013 Too many", "<402>: Too many"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComposeMailOutcomeMessage(EvaluateMailAnswer(c.answer), lookup), c.shown)
            << c.answer;
    }
}

}  // namespace
}  // namespace sealwise
