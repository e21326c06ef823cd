// sealwise-mail-service: receives the mail form over HTTP and mails it through SMTP.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <iostream>
#include <mutex>
#include <regex>
#include <thread>

#include "mail/mail_form.h"
#include "mail_handler.h"
#include "service_answers.h"
#include "service_options.h"
#include "smtp_delivery.h"
#include "util/process_hardening.h"

namespace sealwise::mailservice {
namespace {

std::mutex logMutex;

// One line per event on stderr. Callers pass nothing of a mail's content.
void Log(const std::string& line) {
    std::lock_guard lock(logMutex);
    std::cerr << "sealwise-mail-service: " << line << std::endl;
}

std::string RoutePattern(std::string_view path) {
    return std::regex_replace(std::string(path), std::regex(R"(\.)"), R"(\.)");
}

void Answer(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text, "text/plain; charset=windows-1252");
}

// Stops the server at SIGINT or SIGTERM; the signals are blocked in every thread and taken here.
void StopOnSignal(httplib::Server& server, sigset_t signals) {
    std::thread([&server, signals] {
        int received = 0;
        sigwait(&signals, &received);
        Log("stopping");
        server.stop();
    }).detach();
}

int Serve(const ServiceOptions& options) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    const SmtpSettings smtp{options.smtpUrl, options.fromAddress};
    const MailDeliverer deliver = [&smtp](const std::string& recipient, const std::string& mail) {
        return DeliverBySmtp(smtp, recipient, mail);
    };

    httplib::Server server;
    server.set_payload_max_length(options.maxBodyBytes);
    server.set_read_timeout(20, 0);
    server.set_write_timeout(20, 0);
    const std::string route = RoutePattern(kMailServicePath);
    server.Post(route, [&](const httplib::Request& req, httplib::Response& res) {
        const PostResult result = HandleMailPost(req.get_header_value("Content-Type"), req.body,
                                                 options.fromAddress, deliver);
        if (!result.logNote.empty()) Log(req.remote_addr + " delivery failed: " + result.logNote);
        Answer(res, result.httpStatus, result.answer);
    });
    server.Get(route, [](const httplib::Request&, httplib::Response& res) {
        Answer(res, kMethodNotAllowed.httpStatus, RefusalAnswer(kMethodNotAllowed));
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        if (res.status == kRequestTooLarge.httpStatus) {
            Answer(res, res.status, RefusalAnswer(kRequestTooLarge));
        } else if (res.status == kNotFound.httpStatus) {
            Answer(res, res.status, RefusalAnswer(kNotFound));
        } else {
            Answer(res, res.status, "E" + std::to_string(res.status) + " Bad request");
        }
    });
    server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        const std::string outcome = res.status == 200 ? res.body : res.body.substr(0, 4);
        Log(req.remote_addr + " " + req.method + " " + req.path + " " + std::to_string(res.status) +
            " " + outcome);
    });

    int port = options.listenPort;
    if (port == 0) {
        port = server.bind_to_any_port(options.listenHost);
    } else if (!server.bind_to_port(options.listenHost, port)) {
        port = -1;
    }
    if (port <= 0) {
        Log("error: cannot listen on " + options.listenHost + ":" +
            std::to_string(options.listenPort));
        return 1;
    }
    StopOnSignal(server, stopSignals);
    const bool ipv6 = options.listenHost.find(':') != std::string::npos;
    std::cout << "listening on " << (ipv6 ? "[" + options.listenHost + "]" : options.listenHost)
              << ":" << port << std::endl;
    return server.listen_after_bind() ? 0 : 1;
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
    return Serve(std::get<ServiceOptions>(parsed));
}
