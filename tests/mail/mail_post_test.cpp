#include "mail/mail_post.h"

#include <gtest/gtest.h>

#include <thread>

#include "loopback_http_server.h"
#include "mail/curl_library.h"
#include "mail/send_mail.h"

namespace sealwise {
namespace {

using testing::LoopbackHttpServer;
using namespace std::chrono_literals;

MailServiceUrl LoopbackUrl(uint16_t port) { return {"127.0.0.1", port}; }

TEST(MailPost, ReadsTheWholeAnswerAsText) {
    const std::string answer = "E001 F\xFChler " + std::string(5000, 'x');  // Windows-1252
    LoopbackHttpServer server(answer);
    const MailAnswer got = PostMailForm(LoopbackUrl(server.port()), "Mode=x");
    EXPECT_EQ(got.text, "E001 F\xC3\xBChler " + std::string(5000, 'x'));
    EXPECT_TRUE(got.transportError.empty()) << got.transportError;
    EXPECT_NE(server.Request().find("\r\n\r\nMode=x"), std::string::npos);
}

// libcurl is loaded on first use; a library that is missing or is not libcurl gives a reason,
// not a crash.
TEST(MailPost, LibcurlIsLoadedWhenNeededAndItsAbsenceExplained) {
    std::string error;
    ASSERT_NE(LoadCurl(error), nullptr) << error;
    EXPECT_EQ(LoadCurlFrom("libsealwise-no-such-library.so.1", error), nullptr);
    EXPECT_NE(error.find("cannot load libsealwise-no-such-library.so.1"), std::string::npos)
        << error;
    EXPECT_EQ(LoadCurlFrom("libz.so.1", error), nullptr);
    EXPECT_EQ(error, "libcurl lacks curl_global_init");
}

TEST(MailPost, AHugeAnswerIsCutNotHoarded) {
    LoopbackHttpServer server("E999 " + std::string(kMaxMailAnswerBytes * 2, 'y'));
    const MailAnswer got = PostMailForm(LoopbackUrl(server.port()), "x");
    EXPECT_EQ(got.text.size(), kMaxMailAnswerBytes);
}

TEST(MailPost, SilentServiceTimesOut) {
    LoopbackHttpServer server("", LoopbackHttpServer::Mode::kSilent);
    MailTransferOptions options;
    options.totalTimeout = 300ms;
    const auto start = std::chrono::steady_clock::now();
    const MailAnswer got = PostMailForm(LoopbackUrl(server.port()), "x", options);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(got.text.empty());
    EXPECT_FALSE(got.transportError.empty());
    EXPECT_FALSE(got.cancelled);
}

TEST(MailPost, AnotherThreadCanCancel) {
    LoopbackHttpServer server("", LoopbackHttpServer::Mode::kSilent);
    std::atomic<bool> cancel{false};
    MailTransferOptions options;
    options.cancel = &cancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(200ms);
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const MailSendResult result =
        SendMail({"", "a@bcd.ef", "a@bcd.ef", "", "QUJD"}, LoopbackUrl(server.port()), options);
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(result.outcome.kind, MailOutcomeKind::kCancelled);
}

}  // namespace
}  // namespace sealwise
