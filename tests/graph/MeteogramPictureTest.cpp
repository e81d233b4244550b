// A real-looking meteogram drawn with Qt, saved as a picture, its curves found where the rows
// put them.

#include "graph/Meteogram.h"
#include "platform/CText.h"
#include "platform/qt/QtDrawingSurface.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using platform::RGB;

TEST(MeteogramPicture, TwentyFourRowsAt650By670) {
    std::unique_ptr<CGraph> graph;
    StationRecord station;
    station.strStation = "FRANKFURT MAIN A";
    station.strLat = "50 03N";
    station.strLon = "008 36E";
    station.strElev = "113";
    station.strCY = "DE";
    station.iPeriodMinutes = 30;
    ObservationSeries series;
    StationRecord settings;
    settings.bShowTemperature = settings.bShowPressure = settings.bShowWindSpeed =
        settings.bShowWindDirection = settings.bMetricStyle = settings.bShowTimeUTC = 1;

    int changes = 0;
    Meteogram meteogram(graph, station, series, settings, [&changes] { ++changes; });
    meteogram.SetUpMeteogram();

    std::vector<ObservationRecord> rows;
    for (int i = 0; i < 24; ++i) {
        ObservationRecord r;
        r.tObserved = *platform::MakeLocalTime({2026, 12, 6, i / 2, i % 2 ? 50 : 20, 0});
        r.dTemperature = 6.0 + 5.0 * std::sin((i - 6) * 3.14159 / 24);
        r.dPressure = 12.0 + i * 0.25;
        r.dWindSpeed = 3.0 + 2.0 * std::cos(i * 0.4);
        r.dWindDirection = 240 + i * 2;
        r.strConditionsAt = platform::Format(
            "EDDF (FRANKFURT/MAIN, DE) observed 12/6/2026  %02d:%02d UTC", i / 2, i % 2 ? 50 : 20);
        r.strTemperature = platform::Format("%.1f\xB0"
                                            "C",
                                            r.dTemperature);
        r.strPressure = platform::Format("%.2f inches Hg (%.1f mb)", (r.dPressure + 1000) / 33.8639,
                                         r.dPressure + 1000);
        r.strWinds = "from the WSW (250 degrees) at 7 MPH (6 knots; 3.1 m/s)";
        r.strVisibility = "6 or more miles (10+ km)";
        r.strCeiling = "at least 12,000 feet AGL";
        r.strClouds = "few clouds at 4000 feet AGL";
        r.strPresentWeather = "no significant weather observed at this time";
        rows.push_back(r);
        meteogram.AddObservation(r);
    }

    EXPECT_EQ(changes, 24);
    // Painted as its window paints it.
    QImage picture(650, 670, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        platform::QtDrawingSurface surface(painter, {0, 0, picture.width(), picture.height()});
        meteogram.Draw(surface);
    }
    const QString path = QStringLiteral(VENTORA_ARTIFACT_DIR "/meteogram-24-rows.png");
    ASSERT_TRUE(picture.save(path));

    const CGraph& g = *graph;
    ASSERT_EQ(g.RowCount(), 24);
    const struct {
        int column;
        QColor color;
    } curves[] = {{1, QColor(250, 0, 0)},
                  {2, QColor(0, 200, 0)},
                  {3, QColor(0, 0, 250)},
                  {4, QColor(0, 200, 250)}};
    for (const auto& curve : curves) {
        int found = 0;
        for (int i = 0; i < 24; ++i) {
            const auto y = g.ValueToY(platform::LeadingDouble(g.Row(i).At(curve.column)));
            ASSERT_TRUE(y);
            found += picture.pixelColor(g.RowToX(i), *y) == curve.color;
        }
        // Where curves cross, the one drawn later covers the point.
        EXPECT_GE(found, 20) << "column " << curve.column;
    }
    // The frame, the plot edge, the dial and the legend text are where they belong.
    EXPECT_EQ(picture.pixelColor(10, 300), QColor(0, 0, 0));
    EXPECT_EQ(picture.pixelColor(60, 300), QColor(0, 0, 0));
    const int cx = g.m_rcPlot.right + (g.m_rcFrame.right - g.m_rcPlot.right) / 2;
    // The dial's rim, drawn with the pen the legend left selected (the last curve's).
    bool rim = false;
    for (int y = 660 - 50 - 32; y <= 660 - 50 - 28; ++y)
        rim |= picture.pixelColor(cx, y) == QColor(0, 200, 250);
    EXPECT_TRUE(rim);
    int legendInk = 0;
    for (int x = g.m_rcPlot.right + 40; x < g.m_rcPlot.right + 150; ++x)
        for (int y = 55; y < 70; ++y)
            legendInk += picture.pixelColor(x, y) != QColor(255, 255, 255);
    EXPECT_GT(legendInk, 50);
}
