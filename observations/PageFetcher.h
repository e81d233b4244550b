#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Downloads pages over HTTP and cuts texts between marker strings.
class PageFetcher {
public:
    struct Limits {
        long connectTimeoutMs = 15000; // giving up on a server that does not accept
        long idleTimeoutMs = 30000;    // giving up on a transfer that receives nothing
        std::size_t maxBodyBytes = 64u * 1024u * 1024u;
    };

    PageFetcher() = default;
    explicit PageFetcher(const Limits& limits) : m_limits(limits) {}

    const Limits& GetLimits() const { return m_limits; }
    void SetLimits(const Limits& limits) { m_limits = limits; }

    // The whole body of the URL; an empty text means failure of any kind. A transfer that fails
    // half-way keeps the bytes read before. The HTTP status is not looked at. Blanks in the URL
    // travel percent-encoded. Blocks until done or timed out; never shows a message.
    // `bufferSize` (0 meaning 1,000,000) sizes the read buffer.
    std::string Fetch(const std::string& url, std::size_t bufferSize = 0) const;

    struct Response {
        long status = 0;       // HTTP status; 0 when no answer came
        bool complete = false; // the whole body arrived
        std::string body;
    };
    // As Fetch, but telling the status and whether the transfer completed.
    Response Get(const std::string& url, std::size_t bufferSize = 0) const;

    // The decoded text between the start and end markers of the `occurrence`-th run of
    // label, start marker and end marker (counting from 1); empty when a marker is missing.
    static std::string Extract(std::string_view text, std::string_view label,
                               std::string_view start, std::string_view end, int occurrence);

    // The clean-up applied to an extracted text: blanks folded once, line feeds, the character
    // references the report pages use, then trimmed.
    static std::string DecodeExtracted(std::string_view raw);

private:
    Limits m_limits;
};
