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
}

TEST(MailServiceUrl, RefusesEverythingElseWithTheText) {
    for (const char* bad :
         {"", "127.0.0.1:8025", "https://mail.example.com", "ftp://host", "http://", "http://:80",
          "http://host:", "http://host:0", "http://host:65536", "http://host:8o", "http://host/x",
          "http://user@host", "http://[::1", "http://[::1]8025", "http://[host]:80", "http://ho st",
          "http://-host"}) {
        try {
            ParseMailServiceUrl(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const SealError& e) {
            EXPECT_EQ(e.stringId(), 561);
            EXPECT_EQ(e.argument(), bad);
        }
    }
}

TEST(MailServiceUrl, CommandLineBeatsEnvironmentBeatsDefault) {
    EXPECT_EQ(ResolveMailServiceUrl(std::nullopt, std::nullopt), DefaultMailServiceUrl());
    EXPECT_EQ(DefaultMailServiceUrl(), (MailServiceUrl{"mail.sealwise.example", 80}));
    EXPECT_EQ(ResolveMailServiceUrl(std::nullopt, ""), DefaultMailServiceUrl());
    EXPECT_EQ(ResolveMailServiceUrl(std::nullopt, "http://env.example:1").host, "env.example");
    EXPECT_EQ(ResolveMailServiceUrl("http://cli.example:2", "http://env.example:1").host,
              "cli.example");
    EXPECT_THROW(ResolveMailServiceUrl("nonsense", "http://env.example:1"), SealError);
}

TEST(MailServiceUrl, RequestAddress) {
    EXPECT_EQ(MailRequestUrl({"mail.example", 80}),
              "http://mail.example:80/crypt/sealwisemobile.php");
    EXPECT_EQ(MailRequestUrl({"::1", 8025}), "http://[::1]:8025/crypt/sealwisemobile.php");
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
    const auto lookup = [](int id) { return "<" + std::to_string(id) + ">"; };
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kSent, {}}, lookup), "<401>");
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kNoConnection, {}}, lookup),
              "<402>. <403>");
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kServiceError, "Bad"}, lookup),
              "<402>: Bad");
    EXPECT_EQ(ComposeMailOutcomeMessage({MailOutcomeKind::kCancelled, {}}, lookup), "");
}

}  // namespace
}  // namespace sealwise
