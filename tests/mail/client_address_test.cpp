#include "client_address.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include <cstring>

namespace sealwise::mailservice {
namespace {

sockaddr_storage Peer(int family, const char* numeric) {
    sockaddr_storage peer{};
    peer.ss_family = static_cast<sa_family_t>(family);
    if (family == AF_INET) {
        inet_pton(AF_INET, numeric, &reinterpret_cast<sockaddr_in&>(peer).sin_addr);
    } else if (family == AF_INET6) {
        inet_pton(AF_INET6, numeric, &reinterpret_cast<sockaddr_in6&>(peer).sin6_addr);
    }
    return peer;
}

TEST(ClientAddress, PeerInItsNumericForm) {
    const struct {
        int family;
        const char* address;
        const char* expected;
    } cases[] = {
        {AF_INET, "192.0.2.7", "192.0.2.7"},
        {AF_INET6, "2001:db8::1", "2001:db8::1"},
        {AF_INET6, "::ffff:192.0.2.7", "192.0.2.7"},  // IPv4 client on an IPv6 socket
        {AF_UNIX, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PeerAddress(Peer(c.family, c.address)), c.expected) << c.address;
    }
}

TEST(ClientAddress, LastForwardedAddressOrTheProxy) {
    const struct {
        const char* header;  // nullptr: no X-Forwarded-For
        const char* expected;
    } cases[] = {
        {"198.51.100.4", "198.51.100.4"},
        {"203.0.113.9, 198.51.100.4", "198.51.100.4"},  // the proxy appended the last one
        {"203.0.113.9 ,  198.51.100.4  ", "198.51.100.4"},
        {"198.51.100.4,", "10.0.0.1"},
        {"", "10.0.0.1"},
        {nullptr, "10.0.0.1"},
    };
    for (const auto& c : cases) {
        HttpRequest request;
        if (c.header) request.headers.emplace_back("x-forwarded-for", c.header);
        EXPECT_EQ(ForwardedClient(request, "10.0.0.1"), c.expected)
            << (c.header ? c.header : "(none)");
    }
}

}  // namespace
}  // namespace sealwise::mailservice
