#include "smtp_delivery.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace sealwise::mailservice {
namespace {

struct Upload {
    std::string_view rest;
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    const size_t length = std::min(size * count, upload->rest.size());
    std::memcpy(buffer, upload->rest.data(), length);
    upload->rest.remove_prefix(length);
    return length;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

std::optional<std::string> DeliverBySmtp(const SmtpSettings& settings, std::string_view recipient,
                                         std::string_view message) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) return "libcurl could not create a handle";
    const std::string from = "<" + settings.fromAddress + ">";
    const std::string to = "<" + std::string(recipient) + ">";
    std::unique_ptr<curl_slist, ListDeleter> recipients(curl_slist_append(nullptr, to.c_str()));
    if (!recipients) return "out of memory";

    Upload upload{message};
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, settings.url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings.caFile.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, settings.caFile.c_str());
    if (settings.credentials) {
        curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(h, CURLOPT_USERNAME, settings.credentials->user.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, settings.credentials->password.c_str());
    } else {
        curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    }
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadMessage);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(settings.connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT, static_cast<long>(settings.totalTimeout.count()));
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);

    const CURLcode result = curl_easy_perform(h);
    if (result == CURLE_OK) return std::nullopt;
    return errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(result));
}

}  // namespace sealwise::mailservice
