#include "graph/Meteogram.h"
#include "platform/qt/QtDrawingSurface.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include "bench/BenchApplication.h"
#include "bench/SideBySide.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

ObservationRecord Row(int i) {
    ObservationRecord r;
    r.tObserved = 1796600000 + i * 1800;
    r.dTemperature = 6 + 5 * std::sin(i * 0.13);
    r.dPressure = 12 + 6 * std::sin(i * 0.02);
    r.dWindSpeed = 4 + 3 * std::cos(i * 0.3);
    r.dWindDirection = std::fmod(200 + i * 3.0, 360);
    r.strConditionsAt = "EDDF (FRANKFURT/MAIN, DE) observed 12/6/2026  11:50 UTC";
    r.strTemperature = "6.0\xB0"
                       "C (43\xB0"
                       "F)";
    r.strPressure = "30.12 inches Hg (1019.9 mb)";
    r.strWinds = "from the WSW (250 degrees) at 7 MPH (6 knots; 3.1 m/s)";
    r.strVisibility = "10 or more miles (16+ km)";
    r.strClouds = "few clouds at 25000 feet AGL";
    return r;
}

struct Fixture {
    std::unique_ptr<CGraph> graph;
    StationRecord station;
    ObservationSeries series;
    StationRecord settings;
    QImage picture{650, 670, QImage::Format_RGB32};
    Meteogram meteogram;

    Fixture() : meteogram(graph, station, series, settings) {
        settings.bShowTemperature = settings.bShowPressure = settings.bShowWindSpeed =
            settings.bShowWindDirection = settings.bMetricStyle = 1;
        station.strStation = "FRANKFURT/MAIN";
        station.strCD = "DE";
        station.strLat = "50 03N";
        station.strLon = "008 36E";
        station.strElev = "111";
        station.strCY = "DE";
        station.iPeriodMinutes = 30;
        meteogram.SetUpMeteogram();
    }

    void Fill(int rows) {
        meteogram.SetUpMeteogram();
        for (int i = 0; i < rows; ++i)
            meteogram.AddObservation(Row(i));
    }

    void Paint() {
        QPainter painter(&picture);
        platform::QtDrawingSurface surface(painter, {0, 0, 650, 670});
        meteogram.Draw(surface);
    }
};

// The floor: the meteogram's picture (frame, plot box, grid, labels, title, legend with the
// panel's lines, four curves, wind dial) in plain QPainter calls, from numbers and texts made
// ready beforehand, as a program that drew this one picture and nothing else would.
class PlainMeteogram {
public:
    explicit PlainMeteogram(const CGraph& g) : m_graph(g) {
        m_frame =
            QRect(g.m_rcFrame.left, g.m_rcFrame.top, g.m_rcFrame.Width(), g.m_rcFrame.Height());
        m_plot = QRect(g.m_rcPlot.left, g.m_rcPlot.top, g.m_rcPlot.Width(), g.m_rcPlot.Height());
        for (int i = 0; i < 3; ++i)
            m_fonts[i] = platform::ResolveFont(g.m_fonts[i]);
        for (int r = 0; r < g.RowCount(); ++r) {
            m_labels.push_back(QString::fromStdString(g.Row(r).At(0)));
            for (int c = 1; c < g.SeriesCount(); ++c)
                m_values.push_back(std::strtod(g.Row(r).At(c).c_str(), nullptr));
        }
        for (int s = 1; s < g.SeriesCount(); ++s) {
            m_titles.push_back(QString::fromStdString(g.Series(s).strTitle));
            m_colors.push_back(QColor(g.Series(s).pen->color.r, g.Series(s).pen->color.g,
                                      g.Series(s).pen->color.b));
            if (g.Series(s).notes)
                for (const std::string& note : *g.Series(s).notes)
                    m_notes.push_back(QString::fromLatin1(note.substr(0, 35)));
        }
        m_title = QString::fromLatin1(g.m_strTitle);
    }

    void Paint(QImage& picture) const {
        QPainter p(&picture);
        const CGraph& g = m_graph;
        const int left = m_plot.left(), top = m_plot.top(), bottom = m_plot.bottom(),
                  right = m_plot.right();
        p.fillRect(m_frame, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(m_frame.adjusted(0, 0, -1, -1));
        p.drawRect(m_plot.adjusted(0, 0, -1, -1));
        p.setFont(m_fonts[1]);
        p.setPen(QColor(g.m_penNet.color.r, g.m_penNet.color.g, g.m_penNet.color.b));
        const int rows = static_cast<int>(m_labels.size());
        const double step = static_cast<double>(right - left) / (rows - 1);
        int threshold = left;
        const QFontMetrics metrics(m_fonts[1]);
        for (int i = 0; i < rows - 1; ++i) {
            const int x = static_cast<int>(i * step + left);
            p.drawLine(x, bottom - 1, x, i > 0 ? top : bottom + 4);
            if (i == 0 || x > threshold) {
                p.drawLine(x, bottom, x, bottom + 5);
                p.drawText(x - 15, bottom + 16, m_labels[i]);
                threshold += static_cast<int>(2.5 * metrics.horizontalAdvance(m_labels[i]));
            }
        }
        for (int j = 0; j <= (bottom - top) / g.m_nYStepPixels; ++j) {
            const int y = bottom - j * g.m_nYStepPixels;
            if (j > 0)
                p.drawLine(left, y, right, y);
            p.drawText(left - 22, y + 4, QString::number(j * g.m_dYDelta + g.m_dYMin, 'f', 0));
        }
        p.setFont(m_fonts[0]);
        p.drawText(m_frame.left() + 40, m_frame.top() + 16, m_title);
        p.setFont(m_fonts[2]);
        const int x0 = right + 10;
        int y = top;
        for (std::size_t s = 0; s < m_titles.size(); ++s) {
            p.setPen(m_colors[s]);
            p.drawLine(x0, y, x0 + 20, y);
            p.drawText(x0 + 30, y + 6, m_titles[s]);
            y += 20;
        }
        p.setPen(Qt::black);
        int yn = top + 20 * static_cast<int>(m_titles.size()) + 10;
        for (const QString& note : m_notes) {
            p.fillRect(x0 - 4, yn + 4, 5, 5, QColor(0, 150, 100));
            p.drawText(x0 + 5, yn + 12, note);
            yn += 20;
        }
        const std::size_t columns = m_titles.size();
        QPolygon curve(rows);
        for (std::size_t s = 0; s < columns; ++s) {
            for (int i = 0; i < rows; ++i)
                curve.setPoint(i, static_cast<int>(i * step + left),
                               g.ValueToY(m_values[i * columns + s]).value_or(bottom));
            p.setPen(m_colors[s]);
            p.drawPolyline(curve);
        }
        const int cx = right + (m_frame.right() - right) / 2, cy = m_frame.bottom() - 50;
        p.setPen(Qt::black);
        p.drawEllipse(cx - 30, cy - 30, 59, 59);
        p.drawLine(cx, cy, cx + 10, cy + 10);
        p.drawEllipse(cx - 5, cy - 5, 9, 9);
        p.drawText(cx + 30, cy + 42, QStringLiteral("250\xB0"));
    }

private:
    const CGraph& m_graph;
    QRect m_frame, m_plot;
    QFont m_fonts[3];
    QString m_title;
    std::vector<QString> m_labels, m_titles, m_notes;
    std::vector<QColor> m_colors;
    std::vector<double> m_values;
};

} // namespace

// One drawing of a 240-row, four-series meteogram with its panel and wind dial, beside the
// same picture in plain QPainter calls.
static void BM_DrawMeteogram240(benchmark::State& state) {
    EnsureApplication();
    Fixture f;
    f.Fill(240);
    f.Paint();
    const PlainMeteogram plain(*f.graph);
    QImage floorPicture(650, 670, QImage::Format_RGB32);
    SideBySide timing;
    for (auto _ : state)
        timing.Iteration(
            state, [&] { f.Paint(); }, [&] { plain.Paint(floorPicture); });
    timing.Report(state, 1e3);
}
BENCHMARK(BM_DrawMeteogram240)->UseManualTime()->Unit(benchmark::kMillisecond);

// 240 rows added to a meteogram one after another, with no drawing: the cost of the rows alone.
static void BM_AddObservation240(benchmark::State& state) {
    EnsureApplication();
    Fixture f;
    for (auto _ : state) {
        f.Fill(240);
        benchmark::DoNotOptimize(f.graph->RowCount());
    }
}
BENCHMARK(BM_AddObservation240)->Unit(benchmark::kMillisecond);

// A refresh tick as the user pays it: one report added to a 240-row meteogram and the window
// repainted, beside one paint of the same picture in plain QPainter calls (the meteogram's own
// floor): a tick should cost about one lean paint.
static void BM_RefreshTickRepaint(benchmark::State& state) {
    EnsureApplication();
    Fixture f;
    f.Fill(240);
    f.Paint();
    const PlainMeteogram plain(*f.graph);
    QImage floorPicture(650, 670, QImage::Format_RGB32);
    int next = 240;
    SideBySide timing;
    for (auto _ : state) {
        if (f.graph->RowCount() > 260) { // untimed: back to 240 rows
            f.Fill(240);
            next = 240;
        }
        timing.Iteration(
            state,
            [&] {
                f.meteogram.AddObservation(Row(next++));
                f.Paint();
            },
            [&] { plain.Paint(floorPicture); });
    }
    timing.Report(state, 1e3);
}
BENCHMARK(BM_RefreshTickRepaint)->UseManualTime()->Unit(benchmark::kMillisecond);
