#pragma once
// Runs one send of the mail form on a worker thread, so the window stays responsive, and hands
// the result back on the user-interface thread.
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "app/msg.h"
#include "mail/send_mail.h"

namespace sealwise::gui {

struct MailSendOutcome {
    MailSendResult result;
    std::optional<Msg> errorId;  // a failure of the form itself, found before sending
    std::string errorArgument;
};

// Starts the send. `done` runs on the thread of `context` when the send has ended, unless
// `context` is gone by then. Setting *cancel stops the request soon after (about a second).
void StartMailSend(MailForm form, MailServiceUrl url, std::shared_ptr<std::atomic<bool>> cancel,
                   QObject* context, std::function<void(const MailSendOutcome&)> done);

}  // namespace sealwise::gui
