#pragma once
// What the service does with one form post, apart from HTTP itself: read, check, limit,
// compose, deliver, and the answer for the client.
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "rate_limiter.h"

namespace sealwise::mailservice {

// Delivers a composed mail; nullopt on success, else the reason (for the log).
using MailDeliverer = std::function<std::optional<std::string>(const std::string& recipient,
                                                               const std::string& message)>;

struct PostResult {
    int httpStatus = 200;
    std::string answer;   // "ok" or a refusal ("E001 Invalid recipient address")
    std::string logNote;  // extra detail for the service's log; never any part of the mail
};

// Mails accepted per client address and per recipient address within the window (0: no limit).
struct MailLimits {
    std::size_t perClient = 20;
    std::size_t perRecipient = 10;
    std::chrono::seconds window{3600};
};

class MailHandler {
  public:
    MailHandler(std::string fromAddress, MailDeliverer deliver, MailLimits limits = {});

    // contentType is the request's Content-Type header (parameters after ";" are allowed);
    // client is the address the request came from. Safe to call from several threads.
    PostResult Handle(std::string_view contentType, std::string_view body,
                      const std::string& client);

  private:
    std::string fromAddress_;
    MailDeliverer deliver_;
    RateLimiter perClient_;
    RateLimiter perRecipient_;
};

}  // namespace sealwise::mailservice
