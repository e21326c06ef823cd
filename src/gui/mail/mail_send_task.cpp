#include "gui/mail/mail_send_task.h"

#include <QCoreApplication>
#include <QThread>

#include "util/errors.h"

namespace sealwise::gui {

void StartMailSend(MailForm form, MailServiceUrl url, std::shared_ptr<std::atomic<bool>> cancel,
                   QObject* context, std::function<void(const MailSendOutcome&)> done) {
    auto outcome = std::make_shared<MailSendOutcome>();
    QThread* worker =
        QThread::create([form = std::move(form), url = std::move(url), cancel, outcome] {
            MailTransferOptions options;
            options.cancel = cancel.get();
            try {
                outcome->result = SendMail(form, url, options);
            } catch (const SealError& error) {
                outcome->errorId = error.stringId();
                outcome->errorArgument = error.argument();
            } catch (const std::exception& error) {
                outcome->result.transportError = error.what();  // reported as no connection
            }
        });
    // The thread object belongs to no window: a window closed during the send only cancels it,
    // and the thread cleans up after itself when the request has stopped.
    QObject::connect(worker, &QThread::finished, context,
                     [outcome, done = std::move(done)] { done(*outcome); });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    if (auto* application = QCoreApplication::instance()) {
        // The program does not end under a running request: by then its window has cancelled it.
        QObject::connect(application, &QCoreApplication::aboutToQuit, worker, [worker, cancel] {
            cancel->store(true);
            worker->wait();
        });
    }
    worker->start();
}

}  // namespace sealwise::gui
