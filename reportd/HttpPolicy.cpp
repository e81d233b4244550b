#include "reportd/HttpPolicy.h"

#include "platform/CText.h"

#include <boost/beast/http/rfc7230.hpp>

#include <cstdlib>

namespace http_policy {

int RefusalStatus(const HeadFacts& head) {
    // One Host field (HTTP/1.0 may leave it out); no folded values (RFC 9112, 5.2).
    if (head.hostFields > 1 || (head.hostFields == 0 && head.version >= 11) || head.obsFold)
        return 400;
    if (!OriginForm(head.target))
        return 400;
    // Nothing here takes a body: it is refused without being read, whatever the method.
    if (head.bodyAnnounced)
        return 413;
    if (!head.knownMethod)
        return 501;
    if (!head.getOrHead)
        return 405;
    return 0;
}

int ParseFailureStatus(ParseFailure failure, std::string_view received) {
    const std::size_t lineEnd = received.find('\n');
    if (failure == ParseFailure::OverLimit)
        return lineEnd == std::string_view::npos ? 414 : 431;
    if (failure == ParseFailure::BadVersion) {
        // "HTTP/" DIGIT "." DIGIT at the end of a request line ended by CRLF (RFC 9112, 2.3).
        std::string_view line = received.substr(0, lineEnd);
        if (lineEnd == std::string_view::npos || line.empty() || line.back() != '\r')
            return 400;
        line.remove_suffix(1);
        const std::string_view version = line.substr(line.rfind(' ') + 1);
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        if (version.size() == 8 && version.substr(0, 5) == "HTTP/" && digit(version[5]) &&
            version[6] == '.' && digit(version[7]))
            return 505;
    }
    return 400;
}

std::optional<std::string> OriginForm(std::string_view target) {
    if (!target.empty() && target.front() == '/')
        return std::string(target);
    // Absolute form, as a proxy sends it: the authority is the Host's business, not ours.
    for (std::string_view scheme : {"http://", "https://"}) {
        if (target.size() > scheme.size() &&
            platform::ToLower(std::string(target.substr(0, scheme.size()))) == scheme) {
            const std::size_t path = target.find_first_of("/?", scheme.size());
            if (path == std::string_view::npos)
                return std::string("/");
            const std::string rest(target.substr(path));
            return rest.front() == '/' ? rest : "/" + rest;
        }
    }
    return std::nullopt;
}

bool AcceptsGzip(std::string_view acceptEncoding) {
    for (const auto& coding : boost::beast::http::ext_list(
             boost::beast::string_view(acceptEncoding.data(), acceptEncoding.size()))) {
        const std::string name = platform::ToLower(std::string(coding.first));
        if (name != "gzip" && name != "*")
            continue;
        for (const auto& parameter : coding.second)
            if (platform::ToLower(std::string(parameter.first)) == "q" &&
                std::strtod(std::string(parameter.second).c_str(), nullptr) <= 0)
                return false;
        return true;
    }
    return false;
}

bool NotModified(const HttpAnswer& answer, bool gzip, std::string_view ifNoneMatch,
                 const std::string& ifModifiedSince) {
    if (answer.status != 200 || answer.etag.empty())
        return false;
    if (!ifNoneMatch.empty()) {
        // Weak comparison (RFC 9110, 13.1.2): W/"x" matches "x".
        const std::string tag = gzip ? answer.gzipTag : answer.etag;
        return ifNoneMatch == "*" || ifNoneMatch.find(tag) != std::string_view::npos;
    }
    if (ifModifiedSince.empty() || answer.lastModified <= 0)
        return false;
    const auto since = ReadHttpDate(ifModifiedSince);
    return since && answer.lastModified <= *since;
}

bool KeepAlive(bool clientWants, int served, int limit) {
    return clientWants && served < limit;
}

bool Admit(int open, int fromClient, int limit, int limitPerClient) {
    return open < limit && fromClient < limitPerClient;
}

} // namespace http_policy
