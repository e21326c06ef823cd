#include "mail/mail_form.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <optional>

#include "mail/address_check.h"
#include "mail/form_encoding.h"
#include "util/errors.h"
#include "util/text_codec.h"

namespace sealwise {
namespace {

TEST(MailAddressCheck, ShortestShapes) {
    EXPECT_TRUE(IsValidMailAddress("a@bcd.ef"));  // one, @, three, ".", two
    EXPECT_FALSE(IsValidMailAddress("a@bc.ef"));  // only two between @ and "."
    EXPECT_FALSE(IsValidMailAddress("a@bcd.e"));  // only one after "."
    EXPECT_FALSE(IsValidMailAddress("@bcd.ef"));  // nothing before @
    EXPECT_FALSE(IsValidMailAddress(""));
    EXPECT_TRUE(IsValidMailAddress("first.last@mail.example.co.uk"));
}

TEST(MailAddressCheck, BlanksAreTakenAsTyped) {
    EXPECT_TRUE(IsValidMailAddress(" a@bcd.ef"));   // the leading "?" takes the blank
    EXPECT_FALSE(IsValidMailAddress("a@bcd.ef "));  // the last character must be a letter
    EXPECT_TRUE(IsValidMailAddress("a b@c d.e f"));
}

TEST(MailAddressCheck, LetterClassIsAsciiLettersAndSemicolon) {
    EXPECT_TRUE(IsValidMailAddress("A@BCD.EF"));
    EXPECT_FALSE(IsValidMailAddress("a@1cd.ef"));
    EXPECT_FALSE(IsValidMailAddress("a@bcd.1f"));
    EXPECT_FALSE(IsValidMailAddress("a@bcd.e1"));
    EXPECT_TRUE(IsValidMailAddress("a@bcd.e1f"));
    EXPECT_TRUE(IsValidMailAddress("a@;cd.;;"));
    EXPECT_FALSE(
        IsValidMailAddress("a@\xC3\xA4"
                           "cd.ef"));                    // a-umlaut is no letter here
    EXPECT_TRUE(IsValidMailAddress("\xC3\xA4@bcd.ef"));  // but one character for "?"
    EXPECT_FALSE(IsValidMailAddress("a@bcd.e\xC3\xA4"));
}

TEST(MailAddressCheck, StarsBacktrack) {
    // The second "@" and the first "." belong to the stars here.
    EXPECT_TRUE(IsValidMailAddress("a@b@cd.ef"));
    EXPECT_TRUE(IsValidMailAddress("a.b@c.de.fg"));
    EXPECT_FALSE(IsValidMailAddress("a@b.c@d.e"));
    // Long adversarial input stays fast (the matcher is text length times pattern length).
    EXPECT_FALSE(IsValidMailAddress(std::string(30000, '@') + "x"));
    EXPECT_TRUE(IsValidMailAddress(std::string(30000, 'a') + "@bcd.ef"));
}

TEST(FormEncoding, SpecialCharacters) {
    EXPECT_EQ(EncodeFormField("Ann Lee"), "Ann+Lee");
    EXPECT_EQ(EncodeFormField("a@b"), "a%40b");
    EXPECT_EQ(EncodeFormField("x\r\ny"), "x%0D%0Ay");
    EXPECT_EQ(EncodeFormField("\xC3\xA4"), "%E4");      // a-umlaut, 228 in Windows-1252
    EXPECT_EQ(EncodeFormField("\xE2\x82\xAC"), "%80");  // euro sign
    EXPECT_EQ(EncodeFormField("?"), "%3F");
    EXPECT_EQ(EncodeFormField("-._~*+%&="), "%2D%2E%5F%7E%2A%2B%25%26%3D");
    EXPECT_EQ(EncodeFormField(std::string("\0\x01\x7F", 3)), "%00%01%7F");
    EXPECT_EQ(EncodeFormField("azAZ09"), "azAZ09");
    EXPECT_EQ(EncodeFormField(""), "");
}

TEST(FormEncoding, WhatWindows1252LacksGoesAsMarkedUtf8) {
    const struct {
        const char* text;
        const char* encoded;
    } cases[] = {
        {"\xCE\xB1", "%EF%BB%BF%CE%B1"},                  // alpha alone
        {"\xC3\xA4 \xCE\xB1", "%EF%BB%BF%C3%A4+%CE%B1"},  // a-umlaut then too as UTF-8
        {"\xF0\x9F\x94\x92x", "%EF%BB%BF%F0%9F%94%92x"},  // outside the BMP
        {"\xE2\x82\xAC\xC3\xA4", "%80%E4"},               // both fit: no marker
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeFormField(c.text), c.encoded) << c.text;
}

TEST(FormEncoding, EveryCodeHasOneForm) {
    // Windows-1252 byte -> UTF-8 character -> encoded: letters and digits stay, blank is "+",
    // everything else is "%XX" of the byte.
    for (int code = 0; code < 256; ++code) {
        const uint8_t byte = static_cast<uint8_t>(code);
        const std::string encoded = EncodeFormField(Cp1252ToText(&byte, 1));
        const bool alnum = std::isalnum(code) != 0 && code < 128;
        if (code == ' ') {
            EXPECT_EQ(encoded, "+");
        } else if (alnum) {
            EXPECT_EQ(encoded, std::string(1, static_cast<char>(code)));
        } else {
            char expected[4];
            std::snprintf(expected, sizeof expected, "%%%02X", code);
            EXPECT_EQ(encoded, expected) << code;
        }
    }
}

MailForm SampleForm() {
    return {"Ann L\xC3\xA4", "ann@example.org", "bob@example.net", "Hi,\r\nsee below",
            "QUJD\r\nREVG=="};
}

TEST(MailBody, FieldsInTheServiceOrder) {
    EXPECT_EQ(BuildMailBody(SampleForm()),
              "Mode=sealwisemobile&mailabsn=Ann+L%E4&mailabs=ann%40example%2Eorg"
              "&mailadr=bob%40example%2Enet&MailText=Hi%2C%0D%0Asee+below"
              "&Text=QUJD%0D%0AREVG%3D%3D");
    MailForm empty = SampleForm();
    empty.senderName.clear();
    empty.message.clear();
    EXPECT_NE(BuildMailBody(empty).find("&mailabsn=&mailabs=ann"), std::string::npos);
    EXPECT_NE(BuildMailBody(empty).find("&MailText=&Text=QUJD"), std::string::npos);
}

std::optional<Msg> FailureId(const MailForm& form) {
    try {
        BuildMailBody(form);
    } catch (const SealError& e) {
        return e.stringId();
    }
    return std::nullopt;
}

TEST(MailBody, RefusesBadAddressesAndOverlongValues) {
    MailForm form = SampleForm();
    form.recipientAddress = "bob@example.net ";
    EXPECT_EQ(FailureId(form), Msg::InvalidMailAddress);
    form = SampleForm();
    form.senderAddress = "ann@ex.de";
    EXPECT_EQ(FailureId(form), Msg::InvalidMailAddress);

    form = SampleForm();
    form.text = std::string(kMaxMailFieldChars, 'x');
    EXPECT_EQ(FailureId(form), std::nullopt);
    form.text += 'x';
    EXPECT_EQ(FailureId(form), Msg::MailFieldTooLong);
    // Characters are counted, not bytes.
    form.text.clear();
    for (std::size_t i = 0; i < kMaxMailFieldChars; ++i) form.text += "\xC3\xA4";
    EXPECT_EQ(FailureId(form), std::nullopt);
    form = SampleForm();
    form.senderName = std::string(kMaxMailFieldChars + 1, 'n');
    EXPECT_EQ(FailureId(form), Msg::MailFieldTooLong);
}

}  // namespace
}  // namespace sealwise
