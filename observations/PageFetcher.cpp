#include "observations/PageFetcher.h"

#include "observations/CurlLibrary.h"
#include "platform/CText.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct Transfer {
    std::string body;
    std::size_t maxBytes = 0;
    bool capped = false; // the body went beyond the cap
    bool idle = false;   // nothing arrived for the idle time
    long idleTimeoutMs = 0;
    const std::atomic<bool>* cancel = nullptr;
    std::chrono::steady_clock::time_point lastData = std::chrono::steady_clock::now();
};

std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    const std::size_t room = transfer->maxBytes - transfer->body.size();
    transfer->body.append(data, std::min(bytes, room));
    transfer->lastData = std::chrono::steady_clock::now();
    if (bytes > room) {
        transfer->capped = true;
        return 0; // aborts a body beyond the cap
    }
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->cancel && transfer->cancel->load())
        return 1;
    // Every byte of a body comes through OnData, which restarts the idle clock (a GET sends
    // nothing that would count).
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - transfer->lastData)
                          .count();
    if (idle <= transfer->idleTimeoutMs)
        return 0;
    transfer->idle = true;
    return 1;
}

} // namespace

std::string PageFetcher::EscapeQueryValue(std::string_view value) {
    // Every byte but the unreserved characters as %XX (RFC 3986, 2.3).
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

PageFetcher::Response PageFetcher::Get(const std::string& url, std::size_t bufferSize,
                                       const std::string& ifNoneMatch) const {
    if (bufferSize == 0)
        bufferSize = 1000000;
    Response response;
    const CurlLibrary* const lib = CurlLibrary::Get(&response.detail);
    if (!lib) {
        response.failure = FetchFailure::Other;
        return response;
    }
    CURL* curl = lib->easy_init();
    if (!curl)
        return response;

    std::string encoded = url;
    platform::ReplaceAll(encoded, " ", "%20");

    Transfer transfer;
    transfer.maxBytes = m_limits.maxBodyBytes;
    transfer.idleTimeoutMs = m_limits.idleTimeoutMs;
    transfer.cancel = m_limits.cancel;

    curl_slist* headers = nullptr;
    headers = lib->slist_append(headers, "Cache-Control: no-cache");
    headers = lib->slist_append(headers, "Pragma: no-cache");
    // An entity tag is a quoted text of its server's; one that could end the field is not sent.
    const bool revalidate =
        !ifNoneMatch.empty() && ifNoneMatch.find_first_of("\r\n") == std::string::npos;
    if (revalidate)
        headers = lib->slist_append(headers, ("If-None-Match: " + ifNoneMatch).c_str());

    lib->easy_setopt(curl, CURLOPT_URL, encoded.c_str());
    lib->easy_setopt(curl, CURLOPT_USERAGENT, "Ventora/" VENTORA_VERSION);
    lib->easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    // Pages shrink to a fraction gzip-compressed; curl unpacks them before the cap counts.
    lib->easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "gzip");
    lib->easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    lib->easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    lib->easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    lib->easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, m_limits.connectTimeoutMs);
    // A page sent a byte at a time restarts no clock: the whole transfer has a deadline, and
    // one that crawls below a minimum speed ends early.
    lib->easy_setopt(curl, CURLOPT_TIMEOUT_MS, m_limits.totalTimeoutMs);
    lib->easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, m_limits.lowSpeedBytesPerSecond);
    lib->easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_limits.lowSpeedSeconds);
    lib->easy_setopt(curl, CURLOPT_BUFFERSIZE,
                     static_cast<long>(std::clamp<std::size_t>(bufferSize, 1024, 512 * 1024)));
    lib->easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnData);
    lib->easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    lib->easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    lib->easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    lib->easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    // A failure keeps what arrived before it.
    const CURLcode result = lib->easy_perform(curl);
    response.complete = result == CURLE_OK;
    lib->easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    curl_header* etag = nullptr;
    if (lib->easy_header(curl, "ETag", 0, CURLH_HEADER, -1, &etag) == CURLHE_OK && etag)
        response.etag = etag->value;
    lib->easy_cleanup(curl);
    lib->slist_free_all(headers);
    response.body = std::move(transfer.body);
    if (transfer.capped)
        response.failure = FetchFailure::TooLarge;
    else if (transfer.idle)
        response.failure = FetchFailure::TimedOut;
    else
        switch (result) {
        case CURLE_OK:
            response.failure = response.status == 200 || (revalidate && response.status == 304)
                                   ? FetchFailure::None
                                   : FetchFailure::HttpStatus;
            break;
        case CURLE_COULDNT_CONNECT:
            response.failure = FetchFailure::Refused;
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
            response.failure = FetchFailure::NameNotFound;
            break;
        case CURLE_OPERATION_TIMEDOUT:
            response.failure = FetchFailure::TimedOut;
            break;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_BAD_CONTENT_ENCODING:
            response.failure = response.status != 0 && response.status != 200
                                   ? FetchFailure::HttpStatus
                                   : FetchFailure::Cut;
            break;
        default:
            response.failure = FetchFailure::Other;
            response.detail = lib->easy_strerror(result);
            break;
        }
    return response;
}

std::string PageFetcher::Extract(std::string_view text, std::string_view label,
                                 std::string_view start, std::string_view end, int occurrence) {
    std::size_t p = 0;
    std::size_t b = 0;
    std::size_t c = 0;
    for (int k = 0; k < occurrence; ++k) {
        std::size_t a = p;
        if (!label.empty()) {
            a = text.find(label, p);
            if (a == std::string_view::npos)
                return {};
        }
        b = text.find(start, a);
        if (b == std::string_view::npos)
            return {};
        c = text.find(end, b);
        if (c == std::string_view::npos)
            return {};
        p = c;
    }
    if (occurrence < 1 || c < b + start.size())
        return {};
    return DecodeExtracted(text.substr(b + start.size(), c - b - start.size()));
}

namespace {

// The references the clean-up decodes, each to one character, in the order it decodes them.
constexpr std::pair<std::string_view, char> kReferences[] = {
    {"&#34;", '"'},  {"&#33;", '!'},  {"&#36;", '$'},    {"&#37;", '%'}, {"&#38;", '&'},
    {"&#45;", '-'},  {"&#46;", '.'},  {"&#47;", '/'},    {"&#60;", '<'}, {"&#62;", '>'},
    {"&#160;", ' '}, {"&#247;", '-'}, {"&deg;", '\xB0'},
};

// The clean-up step by step: each replacement runs once over the whole text in this order; a
// "&#38;" that forms a new reference with the text after it is decoded by a later step.
std::string DecodeStepByStep(std::string_view raw) {
    std::string text(raw);
    platform::ReplaceAll(text, "  ", " ");
    platform::ReplaceAll(text, "\n", " ");
    for (const auto& [from, to] : kReferences)
        platform::ReplaceAll(text, from, std::string_view(&to, 1));
    return platform::Trim(text);
}

// The length of the known reference `rest` starts with, its character into `decoded`; 1 and
// '&' when it starts with none. A reference ends at its ';' within seven characters.
std::size_t DecodeReference(std::string_view rest, char& decoded) {
    const std::size_t semicolon = rest.substr(0, 7).find(';');
    if (semicolon != std::string_view::npos && semicolon >= 4) {
        const std::string_view candidate = rest.substr(0, semicolon + 1);
        for (const auto& [from, to] : kReferences)
            if (candidate.size() == from.size() && candidate[3] == from[3] && candidate == from) {
                decoded = to;
                return from.size();
            }
    }
    decoded = '&';
    return 1;
}

} // namespace

std::string PageFetcher::DecodeExtracted(std::string_view raw) {
    std::string text;
    DecodeExtractedInto(raw, text);
    return text;
}

void PageFetcher::DecodeExtractedInto(std::string_view raw, std::string& text) {
    // The clean-up is a series of replacements, each run once over the whole text: blanks in
    // pairs folded ("  " to " "), line feeds to blanks, then the references in the order of
    // kReferences, then the text trimmed. Only "&#38;" makes a new reference (with the text
    // after it) that a later step decodes: a text without it comes out the same from one
    // forward pass, which is what is done here; one with it takes the steps one by one.
    if (platform::Find(raw, "&#38;") != std::string_view::npos) {
        text = DecodeStepByStep(raw);
        return;
    }
    // Leading and trailing white space goes; what stays of it is found on the decoded text.
    // The decoded text is never longer than the raw one: it is written over the text's old
    // characters, which need no clearing.
    if (text.size() < raw.size())
        text.resize(raw.size());
    char* const begin = text.data();
    char* out = begin;
    const char* in = raw.data();
    const char* const end = in + raw.size();
    while (in < end) {
        const char c = *in;
        if (c == ' ') {
            // A run of n blanks becomes (n + 1) / 2.
            const char* run = in;
            while (run < end && *run == ' ')
                ++run;
            const std::size_t n = static_cast<std::size_t>(run - in);
            out = std::fill_n(out, (n + 1) / 2, ' ');
            in = run;
        } else if (c == '\n') {
            *out++ = ' ';
            ++in;
        } else if (c == '&') {
            in += DecodeReference(std::string_view(in, static_cast<std::size_t>(end - in)), *out);
            ++out;
        } else {
            *out++ = c;
            ++in;
        }
    }
    const std::string_view kept =
        platform::TrimView(std::string_view(begin, static_cast<std::size_t>(out - begin)));
    if (kept.data() != begin)
        std::memmove(begin, kept.data(), kept.size());
    text.resize(kept.size());
}

const char* HttpReasonPhrase(long status) {
    static const std::map<long, const char*> phrases = {
        {200, "OK"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {408, "Request Timeout"},
        {413, "Payload Too Large"},
        {414, "URI Too Long"},
        {429, "Too Many Requests"},
        {431, "Request Header Fields Too Large"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Timeout"},
    };
    const auto it = phrases.find(status);
    return it == phrases.end() ? "" : it->second;
}

std::string ErrorPageExplanation(std::string_view body) {
    // The first paragraph of an HTML page says why; a plain text says it in its first line.
    // Anything else (a page of reports sent with an error status, say) explains nothing.
    const std::string lower = platform::ToLower(body); // tags in any case, at the same places
    std::string_view text = body;
    if (const std::size_t p = lower.find("<p>"); p != std::string::npos) {
        const std::size_t end = lower.find("</p>", p);
        text = text.substr(p + 3, end == std::string::npos ? std::string_view::npos : end - p - 3);
    } else if (body.find('<') != std::string_view::npos) {
        return {};
    }
    // Tags out, lines kept; the first line with text in it.
    std::string plain;
    bool inTag = false;
    for (char c : text) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            plain += c == '\r' ? '\n' : c;
    }
    std::size_t start = 0;
    while (start < plain.size()) {
        const std::size_t end = std::min(plain.find('\n', start), plain.size());
        const std::string line = PageFetcher::DecodeExtracted(plain.substr(start, end - start));
        if (!line.empty()) {
            if (line.size() > 200)
                return line.substr(0, 200) + "...";
            // It stands inside a sentence of the viewer's own, which ends it.
            return line.back() == '.' ? line.substr(0, line.size() - 1) : line;
        }
        start = end + 1;
    }
    return {};
}

std::string DescribeFailure(const PageFetcher::Response& r, const PageFetcher::Limits& limits) {
    switch (r.failure) {
    case FetchFailure::None:
        return "answered";
    case FetchFailure::Refused:
        return "did not answer (connection refused)";
    case FetchFailure::NameNotFound:
        return "did not answer (its host name could not be resolved)";
    case FetchFailure::TimedOut:
        return "did not answer in time";
    case FetchFailure::Cut:
        return "sent a page that was cut short (the connection ended before the page was "
               "complete)";
    case FetchFailure::TooLarge:
        return limits.maxBodyBytes >= 1024 * 1024
                   ? platform::Format("sent a page larger than %zu MiB, which was not read",
                                      limits.maxBodyBytes / (1024 * 1024))
                   : platform::Format("sent a page larger than %zu bytes, which was not read",
                                      limits.maxBodyBytes);
    case FetchFailure::HttpStatus: {
        const std::string reason = HttpReasonPhrase(r.status);
        const std::string explanation = ErrorPageExplanation(r.body);
        return platform::Format("answered with an error (HTTP %ld%s%s)%s%s", r.status,
                                reason.empty() ? "" : " ", reason.c_str(),
                                explanation.empty() || explanation == reason ? "" : ": ",
                                explanation == reason ? "" : explanation.c_str());
    }
    case FetchFailure::Other:
        break;
    }
    return "could not be reached (" + (r.detail.empty() ? std::string("no answer") : r.detail) +
           ")";
}
