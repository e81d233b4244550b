#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// What the viewer and the report server agree on: the paths, the query keys, the hours texts,
// the period limit and the page markers. Both sides spell them only here.
namespace protocol {

// The station list, byte for byte as the server's own list file.
inline constexpr std::string_view kStationListPath = "/weather/surface/stations.txt";

// A station's translated report page: kReportPath?metarIds=ICAO&hoursStr=HOURS&kReportExtra.
inline constexpr std::string_view kReportPath = "/weather/surface/index.php";
inline constexpr std::string_view kStationKey = "metarIds";
inline constexpr std::string_view kHoursKey = "hoursStr";
// Keys the page form sends too; the server reads past them.
inline constexpr std::string_view kReportExtra =
    "std_trans=translated&num_metars=number&submit_metars=Retrieve";

// The newest report of every station: kLatestPath[?hours=N], a CSV table.
inline constexpr std::string_view kLatestPath = "/weather/surface/latest.csv";
inline constexpr std::string_view kLatestHoursKey = "hours";
inline constexpr int kDefaultLatestHours = 3;
// The table's columns in the order the server writes them; readers find them by name.
inline constexpr std::array<std::string_view, 12> kLatestColumns = {
    "icao",          "observed_utc",       "temperature_c",
    "dewpoint_c",    "wind_direction_deg", "wind_speed_kt",
    "wind_gust_kt",  "visibility_m",       "ceiling_ft",
    "altimeter_hpa", "flight_category",    "report"};

// The longest period a page or the table covers, in hours.
inline constexpr int kMaxHours = 96;

// The hours text of a period: "most recent only" for 0, "past N hours" for N (1..kMaxHours).
std::string HoursText(int hours);
// The period of an hours text (0 for "most recent only"), its words separated by blanks or "+"
// and in any case; none for anything else or a period beyond 1..kMaxHours.
std::optional<int> ReadHoursText(std::string_view text);

// The markers of a translated report page. A page saying kNoData has no reports; a page is
// whole only when it holds kPageEnd; a page of simulated reports is headed kSimulatedHeading
// and each of its reports ends with kSimulatedRemark.
inline constexpr std::string_view kNoData = "Sorry";
inline constexpr std::string_view kPageEnd = "</HTML>";
inline constexpr std::string_view kSimulatedHeading = "SIMULATED REPORTS - NOT REAL WEATHER";
inline constexpr std::string_view kSimulatedRemark = "RMK SIMULATED";

} // namespace protocol
