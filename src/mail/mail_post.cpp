#include "mail/mail_post.h"

#include <memory>

#include "mail/curl_library.h"
#include "mail/mail_form.h"
#include "util/text_codec.h"

namespace sealwise {
namespace {

struct EasyDeleter {
    const CurlLibrary* curl;
    void operator()(CURL* handle) const { curl->easyCleanup(handle); }
};
struct ListDeleter {
    const CurlLibrary* curl;
    void operator()(curl_slist* list) const { curl->slistFreeAll(list); }
};

struct Received {
    std::string bytes;
    bool truncated = false;
};

size_t CollectAnswer(char* data, size_t size, size_t count, void* user) {
    auto* received = static_cast<Received*>(user);
    const size_t length = size * count;
    const size_t room = kMaxMailAnswerBytes - received->bytes.size();
    if (length > room) {
        received->bytes.append(data, room);
        received->truncated = true;
        return 0;  // stops the transfer; what fits is kept
    }
    received->bytes.append(data, length);
    return length;
}

int CheckCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(user);
    return cancel->load() ? 1 : 0;
}

}  // namespace

MailAnswer PostMailForm(const MailServiceUrl& url, std::string_view body,
                        const MailTransferOptions& options) {
    MailAnswer answer;
    const CurlLibrary* lib = LoadCurl(answer.transportError);
    if (lib == nullptr) return answer;
    std::unique_ptr<CURL, EasyDeleter> curl(lib->easyInit(), EasyDeleter{lib});
    if (!curl) {
        answer.transportError = "libcurl could not create a handle";
        return answer;
    }
    // Content-Type as the service expects it; no cached answer may stand in for the service's
    // own; no "Expect: 100-continue" round trip and no Accept line, which the service ignores.
    const std::string contentType(kMailContentTypeHeader);
    curl_slist* headers = nullptr;
    for (const char* line :
         {contentType.c_str(), "Cache-Control: no-cache", "Expect:", "Accept:"}) {
        curl_slist* grown = lib->slistAppend(headers, line);
        if (grown == nullptr) {
            lib->slistFreeAll(headers);
            answer.transportError = "out of memory";
            return answer;
        }
        headers = grown;
    }
    std::unique_ptr<curl_slist, ListDeleter> headerList(headers, ListDeleter{lib});

    const std::string requestUrl = MailRequestUrl(url);
    const std::string agent = MailUserAgent();
    Received received;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    lib->easySetopt(h, CURLOPT_URL, requestUrl.c_str());
    // HTTPS verifies the server's certificate and name (libcurl's defaults, stated here).
    lib->easySetopt(h, CURLOPT_PROTOCOLS_STR, url.https ? "https" : "http");
    lib->easySetopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    lib->easySetopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    lib->easySetopt(h, CURLOPT_NOSIGNAL, 1L);
    lib->easySetopt(h, CURLOPT_USERAGENT, agent.c_str());
    lib->easySetopt(h, CURLOPT_HTTPHEADER, headerList.get());
    lib->easySetopt(h, CURLOPT_POST, 1L);
    lib->easySetopt(h, CURLOPT_POSTFIELDS, body.data());
    lib->easySetopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    lib->easySetopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                    static_cast<long>(options.connectTimeout.count()));
    lib->easySetopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    lib->easySetopt(h, CURLOPT_WRITEFUNCTION, CollectAnswer);
    lib->easySetopt(h, CURLOPT_WRITEDATA, &received);
    lib->easySetopt(h, CURLOPT_ERRORBUFFER, errorText);
    if (options.cancel != nullptr) {
        lib->easySetopt(h, CURLOPT_NOPROGRESS, 0L);
        lib->easySetopt(h, CURLOPT_XFERINFOFUNCTION, CheckCancel);
        lib->easySetopt(h, CURLOPT_XFERINFODATA, options.cancel);
    }

    const CURLcode result = lib->easyPerform(h);
    if (result == CURLE_ABORTED_BY_CALLBACK) answer.cancelled = true;
    if (result != CURLE_OK && !received.truncated) {
        answer.transportError = errorText[0] != '\0' ? errorText : lib->easyStrerror(result);
    }
    answer.text = Utf8OrCp1252ToText(reinterpret_cast<const uint8_t*>(received.bytes.data()),
                                     received.bytes.size());
    return answer;
}

}  // namespace sealwise
