#include <gtest/gtest.h>

#include <variant>

#include "form_body.h"
#include "mail/mail_form.h"
#include "mail/mail_outcome.h"
#include "mail_handler.h"
#include "mail_message.h"
#include "mime_encoding.h"
#include "service_options.h"
#include "submission.h"

namespace sealwise::mailservice {
namespace {

MailForm ValidForm() {
    return {"Ann \"A\" B\xC3\xA4r", "ann@example.org", "bob@example.net",
            "Hi Bob,\r\nsee below & reply = fine + 100%", "QUJD\r\nREVG=="};
}

TEST(FormBody, DecodesPlusAndPercentEscapes) {
    const auto fields = DecodeFormBody("a=x+y%41%e4&b=&c=%3D%26");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->at("a"), "x yA\xE4");
    EXPECT_EQ(fields->at("b"), "");
    EXPECT_EQ(fields->at("c"), "=&");
    EXPECT_TRUE(DecodeFormBody("")->empty());
}

TEST(FormBody, RefusesMalformedBodies) {
    for (const char* body : {"a=%4", "a=%G1", "a=1&b", "a=1&a=2", "=1", "a=1&", "a=%"}) {
        EXPECT_FALSE(DecodeFormBody(body)) << body;
    }
}

TEST(Submission, ReadsWhatTheClientEncodes) {
    const auto read = ReadSubmission(BuildMailBody(ValidForm()));
    ASSERT_TRUE(std::holds_alternative<MailSubmission>(read));
    const auto& mail = std::get<MailSubmission>(read);
    EXPECT_EQ(mail.senderName, "Ann \"A\" B\xE4r");  // Windows-1252 bytes
    EXPECT_EQ(mail.senderAddress, "ann@example.org");
    EXPECT_EQ(mail.recipientAddress, "bob@example.net");
    EXPECT_EQ(mail.message, "Hi Bob,\r\nsee below & reply = fine + 100%");
    EXPECT_EQ(mail.text, "QUJD\r\nREVG==");
}

std::string RefusalCode(const std::string& body) {
    const auto read = ReadSubmission(body);
    if (!std::holds_alternative<ReadRefusal>(read)) return "accepted";
    const auto& refused = std::get<ReadRefusal>(read);
    return std::string(refused.refusal.code) + refused.detail;
}

TEST(Submission, RefusesIncompleteOrForeignForms) {
    const std::string valid = BuildMailBody(ValidForm());
    EXPECT_EQ(RefusalCode(valid), "accepted");
    EXPECT_EQ(RefusalCode(valid.substr(0, valid.find("&Text="))), "E004Text");
    EXPECT_EQ(RefusalCode(valid + "&Extra=1"), "E006");
    EXPECT_EQ(RefusalCode(valid + "&Text=again"), "E006");
    EXPECT_EQ(RefusalCode("Mode=other" + valid.substr(valid.find('&'))), "E005");
}

TEST(Submission, RefusesValuesThatCouldBreakTheMail) {
    auto codeFor = [](auto change) {
        MailForm form = ValidForm();
        change(form);
        return RefusalCode(BuildMailBody(form));
    };
    // Each of these passes the client's check, but would inject headers or SMTP commands.
    EXPECT_EQ(codeFor([](MailForm& f) { f.recipientAddress = "x@abc.de\r\nBcc: e@fgh.ij"; }),
              "E001");
    EXPECT_EQ(codeFor([](MailForm& f) { f.recipientAddress = " bob@example.net"; }), "E001");
    EXPECT_EQ(codeFor([](MailForm& f) { f.recipientAddress = "a@b@example.net"; }), "E001");
    EXPECT_EQ(codeFor([](MailForm& f) { f.senderAddress = "a>@example.org"; }), "E002");
    EXPECT_EQ(codeFor([](MailForm& f) { f.senderAddress = "a@b;c.org"; }), "E002");
    EXPECT_EQ(codeFor([](MailForm& f) { f.senderName = "Ann\r\nBcc: x"; }), "E003");
    EXPECT_EQ(codeFor([](MailForm& f) { f.senderName = std::string(101, 'n'); }), "E003");
    EXPECT_EQ(codeFor([](MailForm& f) { f.text.clear(); }), "E009");
    EXPECT_EQ(codeFor([](MailForm& f) { f.senderName = ""; }), "accepted");
    EXPECT_EQ(codeFor([](MailForm& f) { f.message = std::string(kMaxTextBytes, 'm'); }),
              "accepted");
    // One byte per character: a full-length value of a two-byte UTF-8 character still fits.
    EXPECT_EQ(codeFor([](MailForm& f) {
                  f.text.clear();
                  for (std::size_t i = 0; i < kMaxTextBytes; ++i) f.text += "\xC3\xA4";
              }),
              "accepted");
}

TEST(Submission, BoundsTheLongValues) {
    const std::string prefix =
        "Mode=sealwisemobile&mailabsn=&mailabs=a%40bcd.ef&mailadr=a%40bcd.ef";
    EXPECT_EQ(RefusalCode(prefix + "&MailText=" + std::string(kMaxTextBytes + 1, 'm') + "&Text=x"),
              "E008MailText");
    EXPECT_EQ(RefusalCode(prefix + "&MailText=&Text=" + std::string(kMaxTextBytes + 1, 'x')),
              "E008Text");
}

TEST(MimeEncoding, Base64KnownAnswersAndLines) {
    EXPECT_EQ(Base64Lines(""), "");
    EXPECT_EQ(Base64Lines("f"), "Zg==");
    EXPECT_EQ(Base64Lines("fo"), "Zm8=");
    EXPECT_EQ(Base64Lines("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64Lines(std::string("\xFF\xFE\x00", 3)), "//4A");
    const std::string lines = Base64Lines(std::string(58, 'a'));
    EXPECT_EQ(lines.find("\r\n"), 76u);
    EXPECT_EQ(lines.size(), 76u + 2 + 4);
}

TEST(MimeEncoding, HeaderPhrases) {
    EXPECT_EQ(HeaderPhrase("Ann \"A\\\"", true), "\"Ann \\\"A\\\\\\\"\"");
    EXPECT_EQ(HeaderPhrase("Ann", false), "Ann");
    EXPECT_EQ(HeaderPhrase("B\xE4r", false), "=?windows-1252?B?QuRy?=");
    const std::string folded = HeaderPhrase(std::string(31, '\xE4'), true);
    EXPECT_EQ(folded.substr(0, 17), "=?windows-1252?B?");
    EXPECT_NE(folded.find("?=\r\n =?windows-1252?B?5A==?="), std::string::npos);
}

TEST(MimeEncoding, SevenBitCleanBodies) {
    EXPECT_TRUE(IsSevenBitClean("abc\r\ndef\tg\r\n"));
    EXPECT_TRUE(IsSevenBitClean(std::string(998, 'x') + "\r\n"));
    EXPECT_FALSE(IsSevenBitClean(std::string(999, 'x')));
    EXPECT_FALSE(IsSevenBitClean("abc\ndef"));
    EXPECT_FALSE(IsSevenBitClean("abc\rdef"));
    EXPECT_FALSE(IsSevenBitClean("B\xE4r"));
    EXPECT_FALSE(IsSevenBitClean(std::string("a\0b", 3)));
}

TEST(MailMessage, CarriesTheArmourUnchanged) {
    MailSubmission mail{"Ann", "ann@example.org", "bob@example.net", "Hello",
                        "QUJD" + std::string(72, 'x') + "\r\nREVG=="};
    const std::string message =
        ComposeMailMessage(mail, {"relay@mail.example", "Tue, 08 Dec 2026 10:00:00 +0000", "id@x"});
    const std::string expectedHead =
        "Date: Tue, 08 Dec 2026 10:00:00 +0000\r\n"
        "From: \"Ann via Sealwise\" <relay@mail.example>\r\n"
        "Reply-To: \"Ann\" <ann@example.org>\r\n"
        "To: <bob@example.net>\r\n"
        "Subject: Encrypted message from Ann\r\n"
        "Message-ID: <id@x>\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: text/plain; charset=windows-1252\r\n"
        "Content-Transfer-Encoding: 7bit\r\n\r\n";
    EXPECT_EQ(message, expectedHead + "Hello\r\n\r\n" + mail.text + "\r\n");

    mail.senderName.clear();
    mail.message.clear();
    const std::string anonymous = ComposeMailMessage(mail, {"relay@mail.example", "d", "i@x"});
    EXPECT_NE(anonymous.find("From: Sealwise <relay@mail.example>\r\n"), std::string::npos);
    EXPECT_NE(anonymous.find("Reply-To: <ann@example.org>\r\n"), std::string::npos);
    EXPECT_NE(anonymous.find("Subject: Encrypted message from ann@example.org\r\n"),
              std::string::npos);
    EXPECT_NE(anonymous.find("\r\n\r\n" + mail.text + "\r\n"), std::string::npos);
}

TEST(MailMessage, EightBitBodiesGoInBase64) {
    const MailSubmission mail{"B\xE4r", "ann@example.org", "bob@example.net",
                              "Gr\xFC\xDF"
                              "e\n",
                              "QUJD"};
    const std::string message = ComposeMailMessage(mail, {"relay@mail.example", "d", "i@x"});
    EXPECT_NE(message.find("From: =?windows-1252?B?QuRyIHZpYSBTZWFsd2lzZQ==?= <relay@"),
              std::string::npos);
    EXPECT_NE(message.find("Subject: Encrypted message from =?windows-1252?B?QuRy?=\r\n"),
              std::string::npos);
    EXPECT_NE(message.find("Content-Transfer-Encoding: base64\r\n\r\n" +
                           Base64Lines(MailBody(mail)) + "\r\n"),
              std::string::npos);
}

TEST(MailHandler, DeliversOrExplains) {
    std::string deliveredTo, deliveredMail;
    const MailDeliverer accept = [&](const std::string& to, const std::string& mail) {
        deliveredTo = to;
        deliveredMail = mail;
        return std::optional<std::string>();
    };
    const std::string body = BuildMailBody(ValidForm());
    PostResult sent = HandleMailPost("application/x-www-form-urlencoded; charset=windows-1252",
                                     body, "relay@mail.example", accept);
    EXPECT_EQ(sent.httpStatus, 200);
    EXPECT_EQ(sent.answer, "ok");
    EXPECT_EQ(deliveredTo, "bob@example.net");
    EXPECT_NE(deliveredMail.find("\r\n\r\nQUJD\r\nREVG==\r\n"), std::string::npos);

    deliveredTo.clear();
    const PostResult wrongType = HandleMailPost("text/plain", body, "relay@mail.example", accept);
    EXPECT_EQ(wrongType.httpStatus, 415);
    EXPECT_TRUE(deliveredTo.empty());

    const MailDeliverer fail = [](const std::string&, const std::string&) {
        return std::optional<std::string>("Couldn't connect to server");
    };
    const PostResult failed =
        HandleMailPost("application/x-www-form-urlencoded", body, "relay@mail.example", fail);
    EXPECT_EQ(failed.httpStatus, 502);
    EXPECT_EQ(failed.logNote, "Couldn't connect to server");
    EXPECT_EQ(failed.answer.find("QUJD"), std::string::npos);
}

TEST(MailHandler, ClientShowsTheRefusalTextWithoutItsCode) {
    for (const Refusal& refusal :
         {kInvalidRecipient, kInvalidSender, kInvalidSenderName, kMissingField, kUnsupportedMode,
          kMalformedForm, kRequestTooLarge, kFieldTooLong, kNoEncryptedText, kWrongContentType,
          kNotDelivered, kNotFound, kMethodNotAllowed}) {
        const MailOutcome outcome = EvaluateMailAnswer(RefusalAnswer(refusal));
        EXPECT_EQ(outcome.kind, MailOutcomeKind::kServiceError) << refusal.code;
        EXPECT_EQ(outcome.serviceText, refusal.text) << refusal.code;
    }
}

TEST(ServiceOptions, ListenAddresses) {
    const auto v4 = ParseListenAddress("127.0.0.1:0");
    ASSERT_TRUE(v4);
    EXPECT_EQ(v4->host, "127.0.0.1");
    EXPECT_EQ(v4->port, 0);
    const auto v6 = ParseListenAddress("[::1]:8080");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host, "::1");
    EXPECT_EQ(v6->port, 8080);
    for (const char* bad :
         {"127.0.0.1", ":80", "::1:80", "[::1]80", "[]:80", "h:65536", "h:x", "h:"}) {
        EXPECT_FALSE(ParseListenAddress(bad)) << bad;
    }
}

TEST(ServiceOptions, RefusesUnusableSettings) {
    std::ostringstream out, err;
    auto parse = [&](std::vector<std::string> args) { return ParseServiceOptions(args, out, err); };
    const auto defaults = parse({});
    ASSERT_TRUE(std::holds_alternative<ServiceOptions>(defaults));
    EXPECT_EQ(std::get<ServiceOptions>(defaults).listenPort, 8080);
    EXPECT_EQ(std::get<int>(parse({"--listen", "nowhere"})), 2);
    EXPECT_EQ(std::get<int>(parse({"--smtp-url", "http://127.0.0.1:25"})), 2);
    EXPECT_EQ(std::get<int>(parse({"--from-address", "relay"})), 2);
    EXPECT_EQ(std::get<int>(parse({"--max-body", "10"})), 2);
    EXPECT_EQ(std::get<int>(parse({"--help"})), 0);
    EXPECT_NE(out.str().find("--smtp-url"), std::string::npos);
}

}  // namespace
}  // namespace sealwise::mailservice
