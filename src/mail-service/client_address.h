#pragma once
// Who sent a request: the peer's numeric address, or the client a trusted proxy names.
#include <sys/socket.h>

#include <string>

#include "http_request_reader.h"

namespace sealwise::mailservice {

// The numeric address of an IPv4 or IPv6 peer; an IPv4 client on an IPv6 socket in its IPv4
// form. Empty for any other family.
std::string PeerAddress(const sockaddr_storage& peer);

// The client behind a trusted proxy: the last address the proxy put into X-Forwarded-For, or
// the proxy itself when the header is missing or empty.
std::string ForwardedClient(const HttpRequest& request, const std::string& peer);

}  // namespace sealwise::mailservice
