#pragma once
// What the service does with one form post, apart from HTTP itself: read, check, compose,
// deliver, and the answer for the client.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sealwise::mailservice {

// Delivers a composed mail; nullopt on success, else the reason (for the log).
using MailDeliverer = std::function<std::optional<std::string>(const std::string& recipient,
                                                               const std::string& message)>;

struct PostResult {
    int httpStatus = 200;
    std::string answer;   // "ok" or a refusal ("E001 Invalid recipient address")
    std::string logNote;  // extra detail for the service's log; never any part of the mail
};

// contentType is the request's Content-Type header (parameters after ";" are allowed).
PostResult HandleMailPost(std::string_view contentType, std::string_view body,
                          const std::string& fromAddress, const MailDeliverer& deliver);

}  // namespace sealwise::mailservice
