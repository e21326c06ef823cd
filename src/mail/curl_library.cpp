#include "mail/curl_library.h"

#include <dlfcn.h>

#include <memory>
#include <mutex>

namespace sealwise {
namespace {

// libcurl's ABI name since 2006.
constexpr const char* kCurlSoname = "libcurl.so.4";

template <class Function>
bool Resolve(void* library, const char* name, Function& function, std::string& error) {
    void* symbol = ::dlsym(library, name);
    if (symbol == nullptr) {
        error = std::string("libcurl lacks ") + name;
        return false;
    }
    function = reinterpret_cast<Function>(symbol);
    return true;
}

}  // namespace

const CurlLibrary* LoadCurlFrom(const char* soname, std::string& error) {
    void* library = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        error =
            std::string("cannot load ") + soname + (why != nullptr ? ": " + std::string(why) : "");
        return nullptr;
    }
    auto curl = std::make_unique<CurlLibrary>();
    if (!Resolve(library, "curl_global_init", curl->globalInit, error) ||
        !Resolve(library, "curl_easy_init", curl->easyInit, error) ||
        !Resolve(library, "curl_easy_setopt", curl->easySetopt, error) ||
        !Resolve(library, "curl_easy_perform", curl->easyPerform, error) ||
        !Resolve(library, "curl_easy_strerror", curl->easyStrerror, error) ||
        !Resolve(library, "curl_easy_cleanup", curl->easyCleanup, error) ||
        !Resolve(library, "curl_slist_append", curl->slistAppend, error) ||
        !Resolve(library, "curl_slist_free_all", curl->slistFreeAll, error)) {
        ::dlclose(library);
        return nullptr;
    }
    if (curl->globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        error = "libcurl cannot be initialised";
        return nullptr;  // kept loaded: initialisation may have started threads
    }
    return curl.release();  // lives as long as the process, like the library
}

const CurlLibrary* LoadCurl(std::string& error) {
    static const CurlLibrary* loaded = nullptr;
    static std::string failure;
    static std::once_flag once;
    std::call_once(once, [] { loaded = LoadCurlFrom(kCurlSoname, failure); });
    if (loaded == nullptr) error = failure;
    return loaded;
}

}  // namespace sealwise
