#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <sstream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "cli/commands.h"
#include "core/test_util.h"
#include "mail/loopback_http_server.h"

namespace sealwise::cli {
namespace {

using sealwise::testing::ClosedLoopbackPort;
using sealwise::testing::LoopbackHttpServer;

// Armour of 32 bytes (one line) and of 64 bytes (two lines, with LF as typed into a file).
const std::string kArmour = [] {
    std::string a;
    for (int i = 0; i < 10; ++i) a += "paWl";
    return a + "paU=";
}();
const std::string kTwoLines = [] {
    std::string a;
    for (int i = 0; i < 19; ++i) a += "paWl";
    return a + "\npaWlpaWlpQ==";
}();

struct ParsedRequest {
    std::string requestLine;
    std::multimap<std::string, std::string> headers;
    std::string body;
};

ParsedRequest Parse(const std::string& raw) {
    ParsedRequest parsed;
    const std::size_t end = raw.find("\r\n\r\n");
    if (end == std::string::npos) return parsed;
    std::istringstream head(raw.substr(0, end + 2));
    std::getline(head, parsed.requestLine, '\n');
    parsed.requestLine.pop_back();  // the CR
    std::string line;
    while (std::getline(head, line, '\n')) {
        line.pop_back();
        const std::size_t colon = line.find(": ");
        parsed.headers.emplace(line.substr(0, colon), line.substr(colon + 2));
    }
    parsed.body = raw.substr(end + 4);
    return parsed;
}

class MailCli : public ::testing::Test {
  protected:
    void SetUp() override { unsetenv("SEALWISE_MAIL_URL"); }
    void TearDown() override { unsetenv("SEALWISE_MAIL_URL"); }
    static Result Mail(const std::string& url, const std::string& armour, Args extra = {},
                       const std::string& from = "ann@example.org",
                       const std::string& to = "bob@example.net") {
        Args args = {"mail", "--from-name", "Ann L\xC3\xA4ufer", "--from", from, "--to", to};
        if (!url.empty()) args.insert(args.end(), {"--mail-url", url});
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args, armour);
    }

  private:
    test::LanguageScope english_{kOffsetEnglish};
};

TEST_F(MailCli, SendsTheExactRequest) {
    LoopbackHttpServer service("ok");
    const Result r =
        Mail(service.url(), kTwoLines + "\n", {"--message", "Hi Bob,\nsee below: 100% & more"});
    EXPECT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.out, "The message has been successfully sent!\n");

    const ParsedRequest request = Parse(service.Request());
    EXPECT_EQ(request.requestLine, "POST /crypt/sealwisemobile.php HTTP/1.1");
    const std::string agent = "Sealwise Mobile " + std::to_string(SEALWISE_VERSION_MAJOR) + "." +
                              std::to_string(SEALWISE_VERSION_MINOR);
    const std::multimap<std::string, std::string> expectedHeaders = {
        {"Host", "127.0.0.1:" + std::to_string(service.port())}, {"User-Agent", agent},
        {"Content-Type", "application/x-www-form-urlencoded"},   {"Cache-Control", "no-cache"},
        {"Content-Length", std::to_string(request.body.size())},
    };
    EXPECT_EQ(request.headers, expectedHeaders);
    // Line breaks become CR LF; the armour loses the break after its last line.
    EXPECT_EQ(request.body,
              "Mode=sealwisemobile&mailabsn=Ann+L%E4ufer&mailabs=ann%40example%2Eorg"
              "&mailadr=bob%40example%2Enet&MailText=Hi+Bob%2C%0D%0Asee+below%3A+100%25+%26+more"
              "&Text=" +
                  kTwoLines.substr(0, 76) + "%0D%0ApaWlpaWlpQ%3D%3D");
}

TEST_F(MailCli, ReportsWhatTheServiceAnswers) {
    {
        LoopbackHttpServer service("E042 Mailbox full");
        const Result r = Mail(service.url(), kArmour);
        EXPECT_EQ(r.status, kFailure);
        EXPECT_EQ(r.err, "sealwise-cli: error: Error sending the message: Mailbox full\n");
        EXPECT_TRUE(r.out.empty());
    }
    {
        LoopbackHttpServer service("ok\r\n");  // not "ok", and too short for an error text
        const Result r = Mail(service.url(), kArmour);
        EXPECT_EQ(r.status, kFailure);
        EXPECT_EQ(r.err,
                  "sealwise-cli: error: Error sending the message. Internet connection needed.\n");
    }
    {
        LoopbackHttpServer service("");
        SetLanguageOffset(kOffsetGerman);
        const Result r = Mail(service.url(), kArmour);
        EXPECT_EQ(r.status, kFailure);
        EXPECT_NE(r.err.find("Fehler beim Senden der Nachricht. Internetverbindung erforderlich."),
                  std::string::npos);
    }
}

TEST_F(MailCli, ServiceDown) {
    ClosedLoopbackPort closed;
    const std::string url = "http://127.0.0.1:" + std::to_string(closed.port());
    const Result r = Mail(url, kArmour);
    EXPECT_EQ(r.status, kFailure);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "sealwise-cli: error: Error sending the message. Internet connection needed.");
    EXPECT_NE(r.err.find("hint: no answer from " + url + "/crypt/sealwisemobile.php"),
              std::string::npos);
}

TEST_F(MailCli, ServiceAddressFromTheEnvironment) {
    LoopbackHttpServer service("ok");
    setenv("SEALWISE_MAIL_URL", service.url().c_str(), 1);
    EXPECT_EQ(Mail("", kArmour).status, kOk);
    EXPECT_NE(service.Request().find("&Text=paWl"), std::string::npos);

    setenv("SEALWISE_MAIL_URL", "mail.example.com", 1);
    const Result bad = Mail("", kArmour);
    EXPECT_EQ(bad.status, kUsage);
    EXPECT_NE(bad.err.find("The mail service address \"mail.example.com\" is not valid"),
              std::string::npos);
}

TEST_F(MailCli, RefusesBeforeSending) {
    LoopbackHttpServer service("ok");
    const auto refused = [&](Result r, const std::string& message, int status = kFailure) {
        EXPECT_EQ(r.status, status) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    };
    refused(Mail(service.url(), kArmour, {}, "ann@example.org", "bob@ex.net"),
            "Invalid Email address!");
    refused(Mail(service.url(), kArmour, {}, "ann@example.org "), "Invalid Email address!");
    refused(Mail(service.url(), "\n\r\n"), "There is no encrypted text to send.");
    refused(Mail(service.url(), std::string(32768, 'x')),
            "The text is too long to be sent by email");
    refused(Mail(service.url(), std::string(1 << 20, 'x')),
            "The text is too long to be sent by email");
    refused(Mail(service.url(), kArmour + "\xFF"), "The input is not valid UTF-8 text.");
    refused(Mail("http://127.0.0.1:99999", kArmour), "is not valid", kUsage);
    refused(Mail(service.url(), kArmour, {"--timeout", "0"}), "--timeout", kUsage);
    refused(Mail(service.url(), kArmour, {"--to"}), "--to", kUsage);
    EXPECT_TRUE(service.Request(std::chrono::seconds(1)).empty());
}

}  // namespace
}  // namespace sealwise::cli

namespace sealwise::cli {
namespace {

TEST_F(MailCli, OnlyArmourIsSent) {
    LoopbackHttpServer service("ok");
    const Result r = Mail(service.url(), "THIS IS NOT ARMOUR BUY PILLS http://spam.example");
    EXPECT_EQ(r.status, kFailure);
    EXPECT_EQ(r.err,
              "sealwise-cli: error: The mail service sends only texts encrypted with Sealwise; "
              "this text is not one.\n");
    EXPECT_TRUE(service.Request(std::chrono::seconds(1)).empty());
}

TEST_F(MailCli, MessageBeyondWindows1252GoesAsMarkedUtf8) {
    LoopbackHttpServer service("ok");
    EXPECT_EQ(Mail(service.url(), kArmour, {"--message", "\xCE\xB1=1"}).status, kOk);
    EXPECT_NE(service.Request().find("&MailText=%EF%BB%BF%CE%B1%3D1&"), std::string::npos);
}

TEST_F(MailCli, ServiceTextsInTheUsersLanguageAndEscaped) {
    const struct {
        int language;
        const char* answer;
        const char* shown;
    } cases[] = {
        {kOffsetEnglish, "E014 Too many messages to this recipient",
         "Error sending the message: Too many messages have been sent to this recipient. Please "
         "try again later."},
        {kOffsetGerman, "E013 Too many messages from your address",
         "Fehler beim Senden der Nachricht: Von Ihrer Verbindung wurden zu viele Nachrichten "
         "gesendet. Bitte versuchen Sie es sp\xC3\xA4ter erneut."},
        {kOffsetEnglish, "E099 \x1B]0;owned\x07\nforged: ok",
         "Error sending the message: \\x1B]0;owned\\x07\\x0Aforged: ok"},
    };
    for (const auto& c : cases) {
        LoopbackHttpServer service(c.answer);
        SetLanguageOffset(c.language);
        const Result r = Mail(service.url(), kArmour);
        EXPECT_EQ(r.status, kFailure);
        const std::string prefix = c.language == kOffsetGerman ? "Fehler: " : "error: ";
        EXPECT_EQ(r.err, "sealwise-cli: " + prefix + c.shown + "\n");
    }
}

TEST_F(MailCli, WithoutAServiceItPointsToTheMailtoLink) {
    const Result r = Mail("", kArmour);
    EXPECT_EQ(r.status, kUsage);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "sealwise-cli: error: No mail service is set up.");
    EXPECT_NE(r.err.find("hint: --print-mailto"), std::string::npos);
}

TEST_F(MailCli, PrintsTheMailtoLink) {
    std::istringstream in(kTwoLines + "\n");
    std::ostringstream out, err;
    Io io{in, out, err};
    EXPECT_EQ(
        cli::Run({"mail", "--print-mailto", "--to", "bob@example.net", "--message", "Hi"}, io),
        kOk);
    EXPECT_EQ(out.str(), "mailto:bob@example.net?subject=Encrypted%20message&body=Hi%0D%0A%0D%0A" +
                             kTwoLines.substr(0, 76) + "%0D%0ApaWlpaWlpQ%3D%3D\n");
    EXPECT_EQ(err.str(), "");

    // Longer than common mail programs take: printed all the same, with a warning.
    std::istringstream big([] {
        std::string a;
        for (int line = 0; line < 32; ++line) a += std::string(76, 'A') + "\n";
        return a;  // 32 lines of 57 bytes: 1,824 bytes, a multiple of 32
    }());
    std::ostringstream bigOut, bigErr;
    Io bigIo{big, bigOut, bigErr};
    EXPECT_EQ(cli::Run({"mail", "--print-mailto"}, bigIo), kOk);
    EXPECT_GT(bigOut.str().size(), 2000u);
    EXPECT_NE(bigErr.str().find("some e-mail programs cut links longer than 2000 characters"),
              std::string::npos);
}

}  // namespace
}  // namespace sealwise::cli
