#include "http_response_bytes.h"

#include <gtest/gtest.h>

namespace sealwise::mailservice {
namespace {

TEST(HttpResponseBytes, StatusLineHeadersAndBody) {
    EXPECT_EQ(SerializeResponse({200, "ok"}),
              "HTTP/1.1 200 OK\r\n"
              "Content-Type: text/plain; charset=windows-1252\r\n"
              "Content-Length: 2\r\n"
              "Connection: close\r\n\r\nok");
    const struct {
        int status;
        const char* statusLine;
    } cases[] = {
        {413, "HTTP/1.1 413 Content Too Large\r\n"},
        {429, "HTTP/1.1 429 Too Many Requests\r\n"},
        {505, "HTTP/1.1 505 HTTP Version Not Supported\r\n"},
        {418, "HTTP/1.1 418 Error\r\n"},  // a status the service never sends
    };
    for (const auto& c : cases) {
        const std::string bytes = SerializeResponse({c.status, std::string(300, 'x')});
        EXPECT_EQ(bytes.substr(0, bytes.find("\r\n") + 2), c.statusLine);
        EXPECT_NE(bytes.find("\r\nContent-Length: 300\r\n"), std::string::npos) << c.status;
    }
}

}  // namespace
}  // namespace sealwise::mailservice
