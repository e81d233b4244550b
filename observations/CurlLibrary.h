#pragma once

#include <curl/curl.h>

#include <optional>
#include <string>

// libcurl, loaded when the first page is fetched rather than when the program starts: with the
// libraries it needs in turn (TLS, Kerberos, LDAP, ...) it would cost every start a quarter of
// an empty window's start-up, also a start whose first paint fetches nothing.
struct CurlLibrary {
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_perform) easy_perform;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_header) easy_header;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_strerror) easy_strerror;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;

    // libcurl, loaded and initialised on the first call (from any thread); null when it cannot
    // be loaded, and `failure` then says why.
    static const CurlLibrary* Get(std::string* failure = nullptr);

    // The library of that file name with every entry point, initialised; none when it cannot
    // be loaded, lacks an entry point or fails to initialise, and `failure` then says which.
    // It stays loaded for the rest of the run: its handles may live anywhere.
    static std::optional<CurlLibrary> Load(const char* library, std::string& failure);
};
