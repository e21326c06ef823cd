#include "mail_handler.h"

#include <gtest/gtest.h>

#include "mail/form_encoding.h"
#include "mail/mail_outcome.h"
#include "service_answers.h"
#include "valid_mail_form.h"

namespace sealwise::mailservice {
namespace {

TEST(MailHandler, DeliversOrExplains) {
    std::string deliveredTo, deliveredMail;
    const MailDeliverer accept = [&](const std::string& to, const std::string& mail) {
        deliveredTo = to;
        deliveredMail = mail;
        return std::optional<std::string>();
    };
    const std::string body = BuildMailBody(ValidForm());
    MailHandler handler("relay@mail.example", accept);
    PostResult sent = handler.Handle("application/x-www-form-urlencoded; charset=windows-1252",
                                     body, "192.0.2.1");
    EXPECT_EQ(sent.httpStatus, 200);
    EXPECT_EQ(sent.answer, "ok");
    EXPECT_EQ(deliveredTo, "bob@example.net");
    EXPECT_NE(deliveredMail.find("\r\n\r\n" + kArmour + "\r\n"), std::string::npos);

    deliveredTo.clear();
    const PostResult wrongType = handler.Handle("text/plain", body, "192.0.2.1");
    EXPECT_EQ(wrongType.httpStatus, 415);
    EXPECT_TRUE(deliveredTo.empty());

    const MailDeliverer fail = [](const std::string&, const std::string&) {
        return std::optional<std::string>("Couldn't connect to server");
    };
    MailHandler failing("relay@mail.example", fail);
    const PostResult failed =
        failing.Handle("application/x-www-form-urlencoded", body, "192.0.2.1");
    EXPECT_EQ(failed.httpStatus, 502);
    EXPECT_EQ(failed.logNote, "Couldn't connect to server");
    EXPECT_EQ(failed.answer.find(kArmour.substr(0, 8)), std::string::npos);
}

TEST(MailHandler, LimitsPerClientAndPerRecipient) {
    int delivered = 0;
    const MailDeliverer count = [&](const std::string&, const std::string&) {
        ++delivered;
        return std::optional<std::string>();
    };
    MailHandler handler("relay@mail.example", count, MailLimits{2, 2, std::chrono::hours(1)});
    auto post = [&](const char* client, const char* recipient) {
        MailForm form = ValidForm();
        form.recipientAddress = recipient;
        const PostResult r =
            handler.Handle("application/x-www-form-urlencoded", BuildMailBody(form), client);
        return r.answer.substr(0, 4) + " " + std::to_string(r.httpStatus);
    };
    const struct {
        const char* client;
        const char* recipient;
        const char* answer;
    } steps[] = {
        {"192.0.2.1", "bob@example.net", "ok 200"},
        {"192.0.2.2", "BOB@example.net", "ok 200"},    // the same recipient in other case
        {"192.0.2.3", "bob@example.net", "E014 429"},  // third to bob within the window
        {"192.0.2.1", "eve@example.net", "ok 200"},
        {"192.0.2.1", "joe@example.net", "E013 429"},  // third from .1
        {"192.0.2.4", "joe@example.net", "ok 200"},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(post(step.client, step.recipient), step.answer)
            << step.client << " " << step.recipient;
    }
    EXPECT_EQ(delivered, 4);
    // A refused form is not counted against anybody.
    MailForm spam = ValidForm();
    spam.text = "BUY PILLS";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(
            handler.Handle("application/x-www-form-urlencoded", BuildMailBody(spam), "192.0.2.9")
                .answer.substr(0, 4),
            "E012");
    }
    EXPECT_EQ(post("192.0.2.9", "amy@example.net"), "ok 200");
}

TEST(MailHandler, ClientShowsTheRefusalTextWithoutItsCode) {
    for (const Refusal& refusal :
         {kInvalidRecipient, kInvalidSender, kInvalidSenderName, kMissingField, kUnsupportedMode,
          kMalformedForm, kRequestTooLarge, kFieldTooLong, kNoEncryptedText, kWrongContentType,
          kNotDelivered, kNotArmour, kClientLimit, kRecipientLimit, kBusy, kTooSlow, kNotFound,
          kMethodNotAllowed}) {
        const MailOutcome outcome = EvaluateMailAnswer(RefusalAnswer(refusal));
        EXPECT_EQ(outcome.kind, MailOutcomeKind::kServiceError) << refusal.code;
        EXPECT_EQ(outcome.serviceText, refusal.text) << refusal.code;
        EXPECT_EQ(outcome.serviceCode, refusal.code);
    }
}

}  // namespace
}  // namespace sealwise::mailservice
