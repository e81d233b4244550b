#pragma once

#include "reportd/HttpAnswer.h"

#include <optional>
#include <string>
#include <string_view>

// The report server's own rules for requests that the HTTP parser has read: what it refuses
// and with which status, which representation it sends, when a connection ends. The parsing
// itself is the library's.
namespace http_policy {

// What the server needs to know of a request head the parser took.
struct HeadFacts {
    unsigned version = 11; // 10 * major + minor: 10 or 11, the parser takes no other
    bool getOrHead = true;
    bool knownMethod = true;
    std::string_view target;
    int hostFields = 1;
    bool bodyAnnounced = false; // a Content-Length above 0, or a Transfer-Encoding
    bool obsFold = false;       // a field value continued on the next line
};

// The status a request is refused with; 0 for one that is served.
int RefusalStatus(const HeadFacts& head);

// Why the parser could not take a head.
enum class ParseFailure { OverLimit, BadVersion, Malformed };
// The status for it, given the bytes received (up to the head limit): 414 for a request line
// still unended at the limit, 431 for fields over it; 505 for a version that is well formed but
// not HTTP/1.0 or 1.1; else 400.
int ParseFailureStatus(ParseFailure failure, std::string_view received);

// The path and query of a target in origin form ("/p?q") or absolute form
// ("http://host/p?q"); none for any other form.
std::optional<std::string> OriginForm(std::string_view target);

// Whether an Accept-Encoding field value takes gzip (the library splits it).
bool AcceptsGzip(std::string_view acceptEncoding);

// Whether the client's copy is still good: If-None-Match (when present) names the tag of the
// representation, else If-Modified-Since is no earlier than the answer's last change.
bool NotModified(const HttpAnswer& answer, bool gzip, std::string_view ifNoneMatch,
                 const std::string& ifModifiedSince);

// Whether a connection takes another request after `served` of them.
bool KeepAlive(bool clientWants, int served, int limit);

// Whether a new connection is taken, with `open` connections in all and `fromClient` from the
// same address.
bool Admit(int open, int fromClient, int limit, int limitPerClient);

} // namespace http_policy
