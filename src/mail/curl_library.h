#pragma once
// libcurl, loaded when the first mail is sent instead of when the program starts: with its
// thirty libraries for TLS, HTTP/2 and name lookup it tripled the start-up time of every
// command, while only sending by e-mail needs it.
#include <curl/curl.h>

#include <string>

namespace sealwise {

struct CurlLibrary {
    CURLcode (*globalInit)(long flags);
    CURL* (*easyInit)();
    CURLcode (*easySetopt)(CURL* handle, CURLoption option, ...);
    CURLcode (*easyPerform)(CURL* handle);
    const char* (*easyStrerror)(CURLcode code);
    void (*easyCleanup)(CURL* handle);
    curl_slist* (*slistAppend)(curl_slist* list, const char* line);
    void (*slistFreeAll)(curl_slist* list);
};

// The library's functions, loaded and initialised once per process; null when it cannot be
// loaded, with the reason in error.
const CurlLibrary* LoadCurl(std::string& error);

// The same from a library of another name (tests); loaded anew each time, never unloaded.
const CurlLibrary* LoadCurlFrom(const char* soname, std::string& error);

}  // namespace sealwise
