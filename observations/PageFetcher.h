#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

// Why a download did not give a whole page with the HTTP status 200.
enum class FetchFailure {
    None,
    Refused,      // nothing listens at the address
    NameNotFound, // the host name does not resolve
    TimedOut,     // no connection, no data, or not the whole page in time
    Cut,          // the connection ended before the page was complete
    TooLarge,     // the page is larger than the cap
    HttpStatus,   // the server answered with another status than 200
    Other,        // anything else the transport reports
};

// Downloads pages over HTTP and cuts texts between marker strings.
class PageFetcher {
public:
    struct Limits {
        long connectTimeoutMs = 15000; // giving up on a server that does not accept
        long idleTimeoutMs = 30000;    // giving up on a transfer that receives nothing
        long totalTimeoutMs = 30000;   // giving up on a page that takes longer than this in all
        // Giving up on a transfer slower than this many bytes a second for lowSpeedSeconds.
        long lowSpeedBytesPerSecond = 100;
        long lowSpeedSeconds = 10;
        std::size_t maxBodyBytes = 64u * 1024u * 1024u;
        // While it points to true, a transfer under way gives up (checked every few moments).
        const std::atomic<bool>* cancel = nullptr;
    };

    PageFetcher() = default;
    explicit PageFetcher(const Limits& limits) : m_limits(limits) {}

    const Limits& GetLimits() const { return m_limits; }
    void SetLimits(const Limits& limits) { m_limits = limits; }

    struct Response {
        long status = 0;       // HTTP status; 0 when no answer came
        bool complete = false; // the whole body arrived
        FetchFailure failure = FetchFailure::None;
        std::string detail; // the transport's own words for FetchFailure::Other
        std::string body;
        std::string etag; // the page's entity tag, when the server gave one
        // A whole page with the status 200, or 304 to a request that gave an entity tag.
        bool Ok() const { return failure == FetchFailure::None; }
        // The page the request named by its entity tag has not changed; no body came.
        bool NotModified() const { return Ok() && status == 304; }
    };
    // The body of the URL, whatever the status (an error page comes back as it was sent), with
    // the status, whether the transfer completed, and why not; a transfer that fails half-way
    // keeps the bytes read before, and no answer gives an empty body. Blanks in the URL travel
    // percent-encoded. Blocks until done or timed out; never shows a message. `bufferSize` (0
    // meaning 1,000,000) sizes the read buffer. Pages may
    // come gzip-compressed; the body is always the plain text. With `ifNoneMatch` (an entity
    // tag of an earlier answer) the server may answer 304 Not Modified instead of the page.
    Response Get(const std::string& url, std::size_t bufferSize = 0,
                 const std::string& ifNoneMatch = {}) const;

    // A query value percent-encoded for a URL ("most recent only" -> "most%20recent%20only").
    static std::string EscapeQueryValue(std::string_view value);

    // The decoded text between the start and end markers of the `occurrence`-th run of
    // label, start marker and end marker (counting from 1); empty when a marker is missing.
    static std::string Extract(std::string_view text, std::string_view label,
                               std::string_view start, std::string_view end, int occurrence);

    // The clean-up applied to an extracted text: blanks folded once, line feeds, the character
    // references the report pages use, then trimmed.
    static std::string DecodeExtracted(std::string_view raw);
    // The same into `text`, whose storage is reused.
    static void DecodeExtractedInto(std::string_view raw, std::string& text);

private:
    Limits m_limits;
};

// The standard reason phrase of an HTTP status ("Not Found"), or empty for one not listed.
const char* HttpReasonPhrase(long status);

// What an error page says of its cause: the text of an HTML page's first paragraph, or the first
// line of a plain text, cut at 200 characters; empty for anything else.
std::string ErrorPageExplanation(std::string_view body);

// What went wrong, in plain words that follow "The report server <address> ": "did not answer
// (connection refused)", "answered with an error (HTTP 502 Bad Gateway): the data service ...
// cannot be reached", ... (an error page's own explanation after its status).
std::string DescribeFailure(const PageFetcher::Response& response,
                            const PageFetcher::Limits& limits);
