#include "client_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <string_view>

namespace sealwise::mailservice {

std::string PeerAddress(const sockaddr_storage& peer) {
    char text[INET6_ADDRSTRLEN] = {};
    if (peer.ss_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(peer).sin_addr, text, sizeof text);
    } else if (peer.ss_family == AF_INET6) {
        const in6_addr& address = reinterpret_cast<const sockaddr_in6&>(peer).sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&address)) {
            inet_ntop(AF_INET, address.s6_addr + 12, text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &address, text, sizeof text);
        }
    }
    return text;
}

std::string ForwardedClient(const HttpRequest& request, const std::string& peer) {
    std::string_view forwarded = request.Header("x-forwarded-for");
    const std::size_t comma = forwarded.rfind(',');
    if (comma != std::string_view::npos) forwarded.remove_prefix(comma + 1);
    while (!forwarded.empty() && forwarded.front() == ' ') forwarded.remove_prefix(1);
    while (!forwarded.empty() && forwarded.back() == ' ') forwarded.remove_suffix(1);
    return forwarded.empty() ? peer : std::string(forwarded);
}

}  // namespace sealwise::mailservice
