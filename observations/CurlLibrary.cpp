#include "observations/CurlLibrary.h"

#include <dlfcn.h>

namespace {

constexpr const char* kLibrary = "libcurl.so.4";

struct Loaded {
    CurlLibrary api{};
    bool ok = false;
    std::string failure;
};

// Every entry point, or the name of the first one missing.
Loaded Load() {
    Loaded loaded;
    void* handle = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        loaded.failure = std::string(kLibrary) + " could not be loaded" +
                         (error ? std::string(": ") + error : std::string());
        return loaded;
    }
    bool complete = true;
    const auto bind = [&](auto& entry, const char* name) {
        void* symbol = ::dlsym(handle, name);
        if (!symbol && complete) {
            complete = false;
            loaded.failure = std::string(kLibrary) + " lacks " + name;
        }
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(symbol);
    };
    CurlLibrary& c = loaded.api;
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
    // The library stays loaded for the rest of the run: its handles may live anywhere.
    if (complete && c.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
        loaded.ok = true;
    else if (complete)
        loaded.failure = std::string(kLibrary) + " could not be initialised";
    return loaded;
}

} // namespace

const CurlLibrary* CurlLibrary::Get(std::string* failure) {
    static const Loaded loaded = Load();
    if (!loaded.ok && failure)
        *failure = loaded.failure;
    return loaded.ok ? &loaded.api : nullptr;
}
