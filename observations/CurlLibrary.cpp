#include "observations/CurlLibrary.h"

#include <dlfcn.h>

#include <type_traits>

namespace {

constexpr const char* kLibrary = "libcurl.so.4";

} // namespace

std::optional<CurlLibrary> CurlLibrary::Load(const char* library, std::string& failure) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        failure = std::string(library) + " could not be loaded" +
                  (error ? std::string(": ") + error : std::string());
        return std::nullopt;
    }
    CurlLibrary c{};
    std::string missing;
    const auto bind = [&](auto& entry, const char* name) {
        void* symbol = ::dlsym(handle, name);
        if (!symbol && missing.empty())
            missing = name;
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(symbol);
    };
    bind(c.global_init, "curl_global_init");
    bind(c.easy_init, "curl_easy_init");
    bind(c.easy_setopt, "curl_easy_setopt");
    bind(c.easy_perform, "curl_easy_perform");
    bind(c.easy_getinfo, "curl_easy_getinfo");
    bind(c.easy_header, "curl_easy_header");
    bind(c.easy_cleanup, "curl_easy_cleanup");
    bind(c.easy_strerror, "curl_easy_strerror");
    bind(c.slist_append, "curl_slist_append");
    bind(c.slist_free_all, "curl_slist_free_all");
    if (!missing.empty()) {
        failure = std::string(library) + " lacks " + missing;
        return std::nullopt;
    }
    if (c.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        failure = std::string(library) + " could not be initialised";
        return std::nullopt;
    }
    return c;
}

const CurlLibrary* CurlLibrary::Get(std::string* failure) {
    static std::string why;
    static const std::optional<CurlLibrary> loaded = Load(kLibrary, why);
    if (failure)
        *failure = why; // empty when loaded
    return loaded ? &*loaded : nullptr;
}
