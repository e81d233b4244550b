#include "graph/Meteogram.h"

#include "platform/CText.h"

#include <algorithm>
#include <cmath>

using platform::RGB;

Meteogram::Meteogram(std::unique_ptr<CGraph>& graph, StationRecord& station,
                     const ObservationSeries& series, const StationRecord& settings,
                     std::function<void()> changed)
    : m_graph(graph), m_station(station), m_series(series), m_settings(settings),
      m_changed(std::move(changed)) {}

int Meteogram::ComputeTimeAxis() {
    const std::int64_t t0 = ObservedInstant(m_series.At(0));
    const std::int64_t t1 = ObservedInstant(m_series.At(1));
    const std::int64_t d = t0 - t1;
    m_station.iPeriodMinutes = static_cast<std::int32_t>(d / 60 - (d / 86400) * 1440);
    // The zone's own rules for that moment: half-hour zones, +13 and +14, and reports of any
    // age all come out right. The labels use the exact offset; this keeps its whole hours.
    const auto offset = platform::LocalOffsetAt(t0);
    m_station.iUtcDeltaHours = offset ? static_cast<std::int32_t>(*offset / 3600) : 0;
    return m_station.iPeriodMinutes;
}

void Meteogram::SetUpMeteogram() {
    if (!m_graph)
        m_graph = std::make_unique<CGraph>();
    CGraph& g = *m_graph;
    g.RemoveAll();
    m_rows.clear();
    m_readout.reset();
    const StationRecord& s = m_station;
    // A station whose list line gives no elevation gets no "elevation  m" in its title.
    const std::string elevation = s.strElev.empty()
                                      ? std::string()
                                      : platform::Format(",  elevation %s m", s.strElev.c_str());
    // Made-up reports must not pass for real weather, in the window or in a picture of it.
    const bool simulated = m_series.GetSize() > 0 && IsSimulated(m_series.At(0));
    g.SetTitle(platform::Format(
        "%s   %s   (%s, %s)%s,  %s%s", s.strStation.c_str(), s.strCD.c_str(), s.strLat.c_str(),
        s.strLon.c_str(), elevation.c_str(), s.strCY.c_str(), simulated ? "  (simulated)" : ""));
    g.AddSeries(0,
                platform::Format(m_settings.bShowTimeUTC ? "Time UTC (every %d min)"
                                                         : "Time local (every %d min)",
                                 s.iPeriodMinutes),
                std::nullopt);
    const bool metric = m_settings.bMetricStyle;
    m_shown = {m_settings.bShowTemperature != 0, m_settings.bShowPressure != 0,
               m_settings.bShowWindSpeed != 0, m_settings.bShowWindDirection != 0};
    if (m_shown.temperature)
        g.AddSeries(4,
                    metric ? "Temperature     \xB0"
                             "C"
                           : "Temperature     \xB0"
                             "F",
                    platform::Pen{1, RGB(250, 0, 0)});
    if (m_shown.pressure)
        g.AddSeries(4, metric ? "Pressure           hps-1000" : "Pressure           inches Hg",
                    platform::Pen{1, RGB(0, 200, 0)});
    if (m_shown.windSpeed)
        g.AddSeries(4, metric ? "Wind speed       m/s" : "Wind speed        MpH",
                    platform::Pen{1, RGB(0, 0, 250)});
    if (m_shown.windDirection)
        g.AddSeries(4, "Wind direction    -18...+18", platform::Pen{1, RGB(0, 200, 250)});
    g.m_nColumns = g.SeriesCount();
    if (!metric)
        g.m_dYDelta = 10.0;
}

std::string Meteogram::TimeLabel(const ObservationRecord& record) const {
    const std::int64_t instant = ObservedInstant(record);
    const auto tm = m_settings.bShowTimeUTC ? platform::UtcBreakdown(instant)
                                            : platform::LocalBreakdown(instant);
    return platform::Format("%02d:%02d", tm ? tm->tm_hour : -1, tm ? tm->tm_min : -1);
}

std::vector<std::string> Meteogram::PanelLines(const ObservationRecord& r) {
    return {"DATE: " + r.strConditionsAt + (IsSimulated(r) ? " (simulated)" : ""),
            "TEMP: " + r.strTemperature,
            "DEWPOINT: " + r.strDewpoint,
            "PRESSURE: " + r.strPressure,
            "WINDS: " + r.strWinds,
            "VISIBILITY: " + r.strVisibility,
            "CEILING: " + r.strCeiling,
            "CLOUDS: " + r.strClouds,
            "PRESENT: " + r.strPresentWeather};
}

void Meteogram::AddObservation(const ObservationRecord& record) {
    if (!m_graph)
        return;
    CGraph& g = *m_graph;
    GraphRow row;
    row.Add(TimeLabel(record));
    if (m_shown.temperature)
        row.Add(platform::Format("%.2f", record.dTemperature));
    if (m_shown.pressure)
        row.Add(platform::Format("%.2f", record.dPressure));
    if (m_shown.windSpeed)
        row.Add(platform::Format("%.2f", record.dWindSpeed));
    if (m_shown.windDirection)
        row.Add(platform::Format("%.2f", WindDirectionTens(record.dWindDirection)));
    g.AddRow(std::move(row));
    m_rows.push_back(record);

    if (g.SeriesCount() == 0)
        return;
    g.SetNotes(g.SeriesCount() - 1, PanelLines(record));
    m_newest = record;
    if (m_changed)
        m_changed();
}

void Meteogram::Draw(platform::DrawingSurface& dc) const {
    if (!m_graph)
        return;
    constexpr int kNoteHeight = 18;
    m_graph->m_nFootRoom = m_footNote.empty() ? 0 : kNoteHeight;
    m_graph->Draw(dc);
    if (m_graph->m_bShowLegend && m_newest)
        m_graph->DrawWindIndicator(dc, m_newest->dWindDirection, m_newest->dWindSpeed);
    if (m_readout && *m_readout < static_cast<int>(m_rows.size()))
        DrawReadout(dc, *m_readout);
    if (!m_footNote.empty()) {
        const platform::Rect client = dc.ClientRect();
        const platform::Font font = dc.SelectFont(platform::Font{"Arial", 13, 400});
        const platform::Color color = dc.SetTextColor(RGB(170, 0, 0));
        const platform::BackgroundMode mode = dc.SetBkMode(platform::BackgroundMode::Transparent);
        dc.TextOut(client.left + m_graph->m_nFrameMargin,
                   client.bottom - m_graph->m_nFrameMargin - kNoteHeight + 2, m_footNote);
        dc.SetBkMode(mode);
        dc.SetTextColor(color);
        dc.SelectFont(font);
    }
}

std::optional<int> Meteogram::RowAt(int x, int y) const {
    if (!m_graph || m_rows.empty())
        return std::nullopt;
    const platform::Rect& plot = m_graph->m_rcPlot;
    if (x < plot.left || x > plot.right || y < plot.top || y > plot.bottom)
        return std::nullopt;
    const double step = m_graph->m_dXStepPixels;
    const int last = static_cast<int>(m_rows.size()) - 1;
    if (!(step > 0))
        return 0;
    const int row = static_cast<int>(std::lround((x - plot.left) / step));
    return std::clamp(row, 0, last);
}

void Meteogram::SetReadout(std::optional<int> row) {
    if (row && (*row < 0 || *row >= static_cast<int>(m_rows.size())))
        row.reset();
    m_readout = row;
}

void Meteogram::MoveReadout(int step) {
    if (m_rows.empty())
        return;
    const int last = static_cast<int>(m_rows.size()) - 1;
    m_readout = m_readout ? std::clamp(*m_readout + step, 0, last) : last;
}

std::string Meteogram::ReadoutText(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    const ObservationRecord& r = m_rows[static_cast<std::size_t>(row)];
    const bool metric = m_settings.bMetricStyle != 0;
    // A value the report lacks is "-" alone: no unit suggests a number that is not there.
    const auto value = [](const char* format, double v, const char* unit) {
        return "  " + (std::isfinite(v) ? platform::Format(format, v) + unit : std::string("-"));
    };
    std::string text = TimeLabel(r);
    if (m_shown.temperature)
        text += value("%.1f", r.dTemperature,
                      metric ? " \xB0"
                               "C"
                             : " \xB0"
                               "F");
    if (m_shown.pressure)
        text += metric ? value("%.1f", r.dPressure + 1000.0, " hPa")
                       : value("%.2f", r.dPressure, " inHg");
    if (m_shown.windSpeed)
        text += value("%.1f", r.dWindSpeed, metric ? " m/s" : " mph");
    if (m_shown.windDirection)
        text += value("%.0f", r.dWindDirection, "\xB0");
    return text;
}

void Meteogram::DrawReadout(platform::DrawingSurface& dc, int row) const {
    const CGraph& g = *m_graph;
    const platform::Rect& plot = g.m_rcPlot;
    const int x = g.RowToX(row);
    const platform::Pen pen = dc.SelectPen(platform::Pen{1, RGB(90, 90, 90)});
    dc.MoveTo(x, plot.top);
    dc.LineTo(x, plot.bottom);

    // The texts beside the cursor, on the side with room for them, on a white ground.
    const std::string text = ReadoutText(row);
    const platform::Font font = dc.SelectFont(platform::Font{"Arial", 14, 400});
    const platform::Size extent = dc.GetTextExtent(text);
    constexpr int kGap = 6, kPad = 3;
    const int width = extent.cx + 2 * kPad;
    int left = x + kGap;
    if (left + width > plot.right)
        left = x - kGap - width >= plot.left ? x - kGap - width
                                             : std::max(plot.left, plot.right - width);
    const int top = plot.top + kGap;
    const platform::Brush brush = dc.SelectBrush(platform::kWhiteBrush);
    dc.Rectangle(left, top, left + width, top + extent.cy + 2 * kPad);
    const unsigned align = dc.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    const platform::Color color = dc.SetTextColor(RGB(0, 0, 0));
    const platform::BackgroundMode mode = dc.SetBkMode(platform::BackgroundMode::Transparent);
    dc.TextOut(left + kPad, top + kPad, text);
    dc.SetBkMode(mode);
    dc.SetTextColor(color);
    dc.SetTextAlign(align);
    dc.SelectBrush(brush);
    dc.SelectFont(font);
    dc.SelectPen(pen);
}
