// sealwise-mail-service: receives the mail form over HTTP and mails it through SMTP.
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <iostream>
#include <mutex>
#include <thread>

#include "http_server.h"
#include "mail/control_escape.h"
#include "mail/mail_form.h"
#include "mail_handler.h"
#include "service_answers.h"
#include "service_options.h"
#include "smtp_delivery.h"
#include "util/process_hardening.h"

namespace sealwise::mailservice {
namespace {

std::mutex logMutex;

// One line per event on stderr. Callers pass nothing of a mail's content, and everything that
// came from the network goes through EscapeForLog.
void Log(const std::string& line) {
    std::lock_guard lock(logMutex);
    std::cerr << "sealwise-mail-service: " << line << std::endl;
}

HttpResponse Answer(const Refusal& refusal) { return {refusal.httpStatus, RefusalAnswer(refusal)}; }

HttpResponse ReadFailureAnswer(int status) {
    if (status == kRequestTooLarge.httpStatus) return Answer(kRequestTooLarge);
    return {status, "E" + std::to_string(status) + " Bad request"};
}

HttpResponse FrontAnswer(FrontRefusal why) {
    return why == FrontRefusal::kTimeout ? Answer(kTooSlow) : Answer(kBusy);
}

// The descriptors the connections may use: raised to the hard limit, and the connection cap
// kept below it (a few are the service's own).
void FitConnectionsToDescriptors(HttpServerLimits& limits) {
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) != 0) return;
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    getrlimit(RLIMIT_NOFILE, &files);
    constexpr rlim_t kOwn = 64;
    if (files.rlim_cur > kOwn && limits.maxConnections > files.rlim_cur - kOwn) {
        limits.maxConnections = files.rlim_cur - kOwn;
    }
}

// Stops the server at SIGINT or SIGTERM; the signals are blocked in every thread and taken here.
void StopOnSignal(HttpServer& server, sigset_t signals) {
    std::thread([&server, signals] {
        int received = 0;
        sigwait(&signals, &received);
        Log("stopping");
        server.Stop();
    }).detach();
}

int Serve(ServiceOptions options) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    FitConnectionsToDescriptors(options.server);

    const SmtpSettings smtp{options.smtpUrl, options.fromAddress, options.credentials,
                            options.smtpCaFile};
    MailHandler mailHandler(
        options.fromAddress,
        [&smtp](const std::string& recipient, const std::string& mail) {
            return DeliverBySmtp(smtp, recipient, mail);
        },
        options.mail);

    HttpServerHooks hooks;
    hooks.handle = [&mailHandler](const HttpRequest& request, const std::string& client) {
        std::string_view path = request.target;
        if (path != kMailServicePath) return Answer(kNotFound);
        if (request.method != "POST") return Answer(kMethodNotAllowed);
        const PostResult result =
            mailHandler.Handle(request.Header("content-type"), request.body, client);
        if (!result.logNote.empty()) {
            Log(EscapeForLog(client) + " delivery failed: " + EscapeForLog(result.logNote));
        }
        return HttpResponse{result.httpStatus, result.answer};
    };
    hooks.readFailure = ReadFailureAnswer;
    hooks.refusal = FrontAnswer;
    hooks.answered = [](const std::string& client, const HttpRequest* request,
                        const HttpResponse& response) {
        const std::string outcome =
            response.status == 200 ? response.body : response.body.substr(0, 4);
        const std::string what =
            request ? EscapeForLog(request->method) + " " + EscapeForLog(request->target) : "-";
        Log(EscapeForLog(client) + " " + what + " " + std::to_string(response.status) + " " +
            EscapeForLog(outcome));
    };

    HttpServer server(options.server, hooks);
    const std::optional<uint16_t> port = server.Bind(options.listenHost, options.listenPort);
    if (!port) {
        Log("error: cannot listen on " + options.listenHost + ":" +
            std::to_string(options.listenPort));
        return 1;
    }
    StopOnSignal(server, stopSignals);
    const bool ipv6 = options.listenHost.find(':') != std::string::npos;
    std::cout << "listening on " << (ipv6 ? "[" + options.listenHost + "]" : options.listenHost)
              << ":" << *port << std::endl;
    Log(std::string("SMTP ") +
        (options.credentials ? "with credentials, TLS required" : "without credentials"));
    server.Run();
    return 0;
}

}  // namespace
}  // namespace sealwise::mailservice

int main(int argc, char** argv) {
    using namespace sealwise::mailservice;
    // Mail forms carry encrypted texts and addresses: keep them out of core dumps.
    sealwise::HardenProcess();
    auto parsed =
        ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    if (const int* status = std::get_if<int>(&parsed)) return *status;
    return Serve(std::move(std::get<ServiceOptions>(parsed)));
}
