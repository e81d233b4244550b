#include "observations/CurrentReports.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

bool IsGzip(std::string_view data) {
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1F &&
           static_cast<unsigned char>(data[1]) == 0x8B;
}

} // namespace

std::string Gunzip(std::string_view data, std::size_t maxBytes) {
    if (!IsGzip(data))
        throw TableFormatError("the file is not gzip data");
    if (data.size() > std::numeric_limits<uInt>::max())
        throw TableFormatError("the gzip file is too large");
    z_stream stream{};
    // 16 + MAX_WBITS: a gzip wrapper, not a zlib one.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        throw TableFormatError("cannot unpack gzip data");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    const char* fault = nullptr;
    char chunk[1 << 16];
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = sizeof chunk - stream.avail_out;
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            fault = "the gzip data are damaged";
            break;
        }
        if (out.size() + produced > maxBytes) {
            fault = "the unpacked file is too large";
            break;
        }
        out.append(chunk, produced);
        if (status == Z_STREAM_END) {
            // Members may follow one another; anything else after the last is ignored.
            const std::string_view rest(reinterpret_cast<const char*>(stream.next_in),
                                        stream.avail_in);
            if (!IsGzip(rest))
                break;
            inflateReset(&stream);
        } else if (status == Z_BUF_ERROR) {
            fault = "the gzip data are cut short"; // no input left inside a member
            break;
        }
    }
    inflateEnd(&stream);
    if (fault)
        throw TableFormatError(fault);
    return out;
}

CurrentReports ReadCurrentReportsCsv(std::string_view csv) {
    CsvReader reader(csv);
    std::vector<int> columns;
    std::size_t width = 0;
    while (reader.Next()) {
        columns = ColumnsOf(reader.Fields(), {"raw_text", "station_id", "observation_time"});
        width = reader.Fields().size();
        if (std::none_of(columns.begin(), columns.end(), [](int c) { return c < 0; }))
            break;
        columns.clear();
    }
    if (columns.empty())
        throw TableFormatError("the file has no header naming raw_text, station_id and "
                               "observation_time");
    CurrentReports result;
    while (reader.Next()) {
        if (reader.Blank())
            continue;
        const auto& fields = reader.Fields();
        if (fields.size() != width || reader.Unterminated()) {
            ++result.skippedRows;
            continue;
        }
        CurrentReport report;
        report.raw = Utf8ToCp1252(fields[static_cast<std::size_t>(columns[0])]);
        report.icao = Utf8ToCp1252(fields[static_cast<std::size_t>(columns[1])]);
        const auto observed = ReadIsoUtc(fields[static_cast<std::size_t>(columns[2])]);
        if (report.raw.empty() || report.icao.empty() || !observed) {
            ++result.skippedRows;
            continue;
        }
        report.observedUtc = *observed;
        result.reports.push_back(std::move(report));
    }
    return result;
}

CurrentReports ReadCurrentReportsFile(std::string_view data) {
    if (IsGzip(data))
        return ReadCurrentReportsCsv(Gunzip(data));
    return ReadCurrentReportsCsv(data);
}
