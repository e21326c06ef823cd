#include "mail_message.h"

#include <gtest/gtest.h>

#include "mime_encoding.h"

namespace sealwise::mailservice {
namespace {

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

}  // namespace
}  // namespace sealwise::mailservice
