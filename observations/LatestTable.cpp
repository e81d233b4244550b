#include "observations/LatestTable.h"

#include "observations/MetarDecoder.h"
#include "observations/ReportProtocol.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace {

void AppendNumber(std::string& out, const std::optional<double>& value) {
    if (!value)
        return;
    char digits[330]; // the largest double has 309 digits
    const auto result =
        std::to_chars(digits, digits + sizeof digits, *value, std::chars_format::fixed, 1);
    out.append(digits, result.ptr);
}

void AppendNumber(std::string& out, const std::optional<int>& value) {
    if (!value)
        return;
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, *value);
    out.append(digits, result.ptr);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// An empty field is no value; false for a field that is not a finite number.
bool ReadNumber(std::string_view field, std::optional<double>& value) {
    field = Trimmed(field);
    if (field.empty())
        return true;
    double v = 0;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), v);
    if (result.ec != std::errc() || result.ptr != field.data() + field.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

// The same for a whole number within [low, high].
bool ReadWhole(std::string_view field, std::optional<int>& value, int low, int high) {
    field = Trimmed(field);
    if (field.empty())
        return true;
    int v = 0;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), v);
    if (result.ec != std::errc() || result.ptr != field.data() + field.size() || v < low ||
        v > high)
        return false;
    value = v;
    return true;
}

enum Column {
    kIcao,
    kObserved,
    kTemperature,
    kDewpoint,
    kDirection,
    kSpeed,
    kGust,
    kVisibility,
    kCeiling,
    kAltimeter,
    kCategory,
    kReport,
    kColumnCount
};
static_assert(kColumnCount == protocol::kLatestColumns.size());

constexpr int kMaxWhole = 1'000'000'000;

// A row of the fields, or none when a field cannot be read.
std::optional<LatestRow> ReadRow(const std::vector<std::string_view>& fields,
                                 const std::vector<int>& columns) {
    auto field = [&](Column c) {
        const int at = columns[c];
        return at < 0 ? std::string_view() : fields[static_cast<std::size_t>(at)];
    };
    LatestRow row;
    row.icao = Utf8ToCp1252(Trimmed(field(kIcao)));
    const auto observed = ReadIsoUtc(Trimmed(field(kObserved)));
    if (row.icao.empty() || !observed)
        return std::nullopt;
    row.observedUtc = *observed;
    ReportValues& v = row.values;
    if (!ReadNumber(field(kTemperature), v.temperatureC) ||
        !ReadNumber(field(kDewpoint), v.dewpointC) ||
        !ReadWhole(field(kDirection), v.windDirectionDeg, 0, 360) ||
        !ReadWhole(field(kSpeed), v.windSpeedKt, 0, kMaxWhole) ||
        !ReadWhole(field(kGust), v.windGustKt, 0, kMaxWhole) ||
        !ReadWhole(field(kVisibility), v.visibilityM, 0, kMaxWhole) ||
        !ReadWhole(field(kCeiling), v.ceilingFt, 0, kMaxWhole) ||
        !ReadNumber(field(kAltimeter), v.altimeterHpa))
        return std::nullopt;
    const std::string_view category = Trimmed(field(kCategory));
    if (!category.empty() && !(v.flightCategory = ReadFlightCategory(category)))
        return std::nullopt;
    row.report = Utf8ToCp1252(field(kReport));
    return row;
}

} // namespace

LatestRow MakeLatestRow(std::string icao, std::int64_t observedUtc, std::string report) {
    LatestRow row;
    row.icao = std::move(icao);
    row.observedUtc = observedUtc;
    row.values = ValuesOf(DecodeMetar(report));
    row.report = std::move(report);
    return row;
}

std::string WriteLatestTable(std::span<const LatestRow> rows) {
    std::string out;
    std::size_t bytes = 128;
    for (const LatestRow& row : rows)
        bytes += row.report.size() + 96;
    out.reserve(bytes);
    for (std::string_view name : protocol::kLatestColumns) {
        if (name != protocol::kLatestColumns.front())
            out += ',';
        out += name;
    }
    out += "\r\n";
    for (const LatestRow& row : rows) {
        const ReportValues& v = row.values;
        AppendCsvText(out, row.icao);
        out += ',';
        AppendIsoUtc(out, row.observedUtc);
        out += ',';
        AppendNumber(out, v.temperatureC);
        out += ',';
        AppendNumber(out, v.dewpointC);
        out += ',';
        AppendNumber(out, v.windDirectionDeg);
        out += ',';
        AppendNumber(out, v.windSpeedKt);
        out += ',';
        AppendNumber(out, v.windGustKt);
        out += ',';
        AppendNumber(out, v.visibilityM);
        out += ',';
        AppendNumber(out, v.ceilingFt);
        out += ',';
        AppendNumber(out, v.altimeterHpa);
        out += ',';
        if (v.flightCategory)
            out += FlightCategoryName(*v.flightCategory);
        out += ',';
        AppendCsvText(out, row.report);
        out += "\r\n";
    }
    return out;
}

LatestTable ReadLatestTable(std::string_view csv,
                            const std::function<bool(std::string_view icao)>& known) {
    CsvReader reader(csv);
    while (reader.Next() && reader.Blank()) {
    }
    const std::size_t width = reader.Fields().size();
    const auto& n = protocol::kLatestColumns;
    const std::vector<int> columns =
        ColumnsOf(reader.Fields(),
                  {n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11]});
    if (columns[kIcao] < 0 || columns[kObserved] < 0)
        throw TableFormatError("the table has no header naming its icao and observed_utc columns");

    LatestTable table;
    while (reader.Next()) {
        if (reader.Blank())
            continue;
        std::optional<LatestRow> row;
        if (reader.Fields().size() == width && !reader.Unterminated())
            row = ReadRow(reader.Fields(), columns);
        if (row && (!known || known(row->icao)))
            table.rows.push_back(std::move(*row));
        else
            ++table.skippedRows;
    }
    return table;
}
