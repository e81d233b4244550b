#include "reportd/HttpAnswer.h"

#include "platform/CText.h"
#include "platform/CalendarTime.h"

#include <zlib.h>

#include <ctime>

namespace {

// Bodies smaller than this are sent as they are: compressing them saves next to nothing.
constexpr std::size_t kSmallestCompressed = 512;
// Bodies from this size on (the table of every station's report, a megabyte) are compressed at
// zlib's default level: the best level takes three times as long for 7% fewer bytes.
constexpr std::size_t kLargeBody = 256u * 1024u;

std::string TagOf(std::string_view body) {
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(body.data()),
                            static_cast<uInt>(body.size()));
    return platform::Format("\"%08lx-%zx\"", static_cast<unsigned long>(crc), body.size());
}

} // namespace

SharedAnswer MakeAnswer(std::string contentType, std::string body, std::int64_t modified,
                        int maxAge) {
    auto answer = std::make_shared<HttpAnswer>();
    answer->contentType = std::move(contentType);
    answer->body = std::move(body);
    answer->etag = TagOf(answer->body);
    answer->lastModified = modified;
    answer->maxAge = maxAge;
    answer->cacheControl = "max-age=" + std::to_string(maxAge);
    answer->lastModifiedText = modified > 0 ? HttpDate(modified) : std::string();
    if (answer->body.size() >= kSmallestCompressed) {
        std::string packed =
            Gzip(answer->body,
                 answer->body.size() >= kLargeBody ? Z_DEFAULT_COMPRESSION : Z_BEST_COMPRESSION);
        if (packed.size() < answer->body.size()) {
            answer->gzipBody = std::move(packed);
            answer->gzipTag = answer->etag.substr(0, answer->etag.size() - 1) + "-gz\"";
        }
    }
    return answer;
}

SharedAnswer MakeErrorAnswer(int status, std::string body, int retryAfter) {
    auto answer = std::make_shared<HttpAnswer>();
    answer->status = status;
    answer->body = std::move(body);
    answer->retryAfter = retryAfter;
    answer->cacheControl = "no-store";
    return answer;
}

std::string HttpDate(std::int64_t time) {
    const auto tm = platform::UtcBreakdown(time);
    if (!tm)
        return {};
    char text[40];
    // The names are English whatever the locale: strftime's would follow it.
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[tm->tm_wday],
                  tm->tm_mday, kMonths[tm->tm_mon], tm->tm_year + 1900, tm->tm_hour, tm->tm_min,
                  tm->tm_sec);
    return text;
}

std::optional<std::int64_t> ReadHttpDate(const std::string& text) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &tm);
    if (!end || *end != '\0')
        return std::nullopt;
    return platform::MakeUtcTime(
        {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

std::string Gzip(std::string_view text, int level) {
    z_stream z{};
    // 15 window bits, plus 16 for the gzip wrapper.
    if (deflateInit2(&z, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return result == Z_STREAM_END ? out : std::string();
}
