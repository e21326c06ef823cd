#pragma once
// One HTTP form post to the mail service and the text it answers. Blocking, but free of shared
// state, so a user interface can run it on a worker thread and cancel it from another.
#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "mail/mail_service_url.h"

namespace sealwise {

struct MailTransferOptions {
    std::chrono::milliseconds connectTimeout{std::chrono::seconds(15)};
    std::chrono::milliseconds totalTimeout{std::chrono::seconds(60)};
    // When another thread sets it, the transfer stops soon after (within about a second).
    const std::atomic<bool>* cancel = nullptr;
};

struct MailAnswer {
    std::string text;            // the response body as UTF-8 text; empty when none came
    std::string transportError;  // what went wrong on the way, for developers; empty if nothing
    bool cancelled = false;
};

// The longest answer kept; the service's answers are a few words.
inline constexpr std::size_t kMaxMailAnswerBytes = 64 * 1024;

// POSTs body (already form-encoded) to the service's form path with the fixed content type and
// user agent. Never throws for network failures: they leave the answer empty.
MailAnswer PostMailForm(const MailServiceUrl& url, std::string_view body,
                        const MailTransferOptions& options = {});

}  // namespace sealwise
