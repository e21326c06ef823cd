#include "submission.h"

#include <gtest/gtest.h>

#include <variant>

#include "form_body.h"
#include "mail/form_encoding.h"
#include "valid_mail_form.h"

namespace sealwise::mailservice {
namespace {

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
    EXPECT_EQ(mail.text, kArmour);
    EXPECT_FALSE(mail.nameIsUtf8);
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
    EXPECT_EQ(codeFor([](MailForm& f) { f.text = "THIS IS NOT ARMOUR BUY PILLS"; }), "E012");
    EXPECT_EQ(codeFor([](MailForm& f) { f.text = EncodeBase64(Bytes(48, 1)); }), "E012");
    EXPECT_EQ(codeFor([](MailForm& f) { f.senderName = ""; }), "accepted");
    EXPECT_EQ(codeFor([](MailForm& f) { f.message = std::string(kMaxTextBytes, 'm'); }),
              "accepted");
    // Characters count, not bytes: a full-length message of characters outside Windows-1252.
    EXPECT_EQ(codeFor([](MailForm& f) {
                  f.message.clear();
                  for (std::size_t i = 0; i < kMaxTextBytes; ++i) f.message += "\xCE\xB1";
              }),
              "accepted");
    // A 20,000-character armour (about 15 KB encrypted) is accepted.
    EXPECT_EQ(codeFor([](MailForm& f) { f.text = EncodeBase64(Bytes(32 * 469, 7)); }), "accepted");
}

TEST(Submission, MarkedFieldsAreUtf8) {
    MailForm form = ValidForm();
    form.senderName = "\xCE\x91nn";      // Greek capital alpha
    form.message = "\xCE\xB1 \xC3\xA4";  // alpha, blank, a-umlaut
    const auto read = ReadSubmission(BuildMailBody(form));
    ASSERT_TRUE(std::holds_alternative<MailSubmission>(read));
    const auto& mail = std::get<MailSubmission>(read);
    EXPECT_TRUE(mail.nameIsUtf8);
    EXPECT_TRUE(mail.messageIsUtf8);
    EXPECT_EQ(mail.senderName, "\xCE\x91nn");  // the marker removed
    EXPECT_EQ(mail.message, "\xCE\xB1 \xC3\xA4");

    const std::string prefix = "Mode=sealwisemobile&mailabs=a%40bcd.ef&mailadr=a%40bcd.ef&Text=" +
                               EncodeFormField(kArmour);
    const struct {
        const char* fields;
        const char* code;
    } cases[] = {
        {"&mailabsn=%EF%BB%BFAnn&MailText=%EF%BB%BF", "accepted"},
        {"&mailabsn=%EF%BB%BF%FF&MailText=", "E006"},  // marked but not UTF-8
        {"&mailabsn=&MailText=%EF%BB%BF%C3", "E006"},
        {"&mailabsn=%EF%BB%BFA%C2%9Bx&MailText=", "E003"},  // C1 control in a name
        {"&mailabsn=%E4%FC&MailText=%E4", "accepted"},      // unmarked: Windows-1252
    };
    for (const auto& c : cases) EXPECT_EQ(RefusalCode(prefix + c.fields), c.code) << c.fields;
}

TEST(Submission, BoundsTheLongValues) {
    const std::string prefix =
        "Mode=sealwisemobile&mailabsn=&mailabs=a%40bcd.ef&mailadr=a%40bcd.ef";
    EXPECT_EQ(RefusalCode(prefix + "&MailText=" + std::string(kMaxTextBytes + 1, 'm') + "&Text=x"),
              "E008MailText");
    EXPECT_EQ(RefusalCode(prefix + "&MailText=%EF%BB%BF%CE%B1" + std::string(kMaxTextBytes, 'm') +
                          "&Text=x"),
              "E008MailText");
    EXPECT_EQ(RefusalCode(prefix + "&MailText=&Text=" + std::string(kMaxTextBytes + 1, 'x')),
              "E008Text");
}

}  // namespace
}  // namespace sealwise::mailservice
