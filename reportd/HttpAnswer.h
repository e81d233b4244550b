#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// One answer as the server sends it, made once and then shared, never copied, by every
// connection that sends it (however slowly the client reads).
struct HttpAnswer {
    int status = 200;
    std::string contentType = "text/html";
    std::string body;
    std::string gzipBody;          // the body compressed; empty when not offered so
    std::string etag;              // of the body, quoted; empty for an error
    std::string gzipTag;           // of the compressed body, a representation of its own
    std::int64_t lastModified = 0; // seconds since 1970; 0 for none
    int maxAge = -1;               // how long caches may keep it, in seconds; below 0: not at all
    int retryAfter = 0;            // seconds, for a refusal that a client may try again
    // Field values made once with the answer.
    std::string cacheControl;     // "max-age=N" or "no-store"
    std::string lastModifiedText; // empty for none
};
using SharedAnswer = std::shared_ptr<const HttpAnswer>;

// A 200 answer that caches may keep for `maxAge` seconds: tagged, and compressed when that
// saves something.
SharedAnswer MakeAnswer(std::string contentType, std::string body, std::int64_t modified,
                        int maxAge);
// An answer no cache keeps: an error, or a page that says what went wrong.
SharedAnswer MakeErrorAnswer(int status, std::string body, int retryAfter = 0);

// "Sun, 06 Nov 1994 08:49:37 GMT"; and back (the C library reads it), none when malformed.
std::string HttpDate(std::int64_t time);
std::optional<std::int64_t> ReadHttpDate(const std::string& text);

// The gzip member of a text (zlib), at a zlib compression level (the best unless given).
std::string Gzip(std::string_view text, int level = 9);
