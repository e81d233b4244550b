#include "mapview/MapDrawing.h"
#include "platform/CText.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RecordingSurface.h"

#include <gtest/gtest.h>

using platform::RGB;
using testing_support::DrawOp;

namespace {

StationRecord At(const std::string& name, double lon, double colat) {
    StationRecord s;
    s.strStation = name;
    s.dLongitude = lon;
    s.dColatitude = colat;
    return s;
}

struct FakeMap : platform::Bitmap {
    int Width() const override { return 540; }
    int Height() const override { return 341; }
};

} // namespace

TEST(MapDrawing, WorldMapDotsUnderOpenedSquares) {
    testing_support::MessageRecorder recorder;
    StationTable all, opened;
    all.Add(At("A", 0, 0));
    all.Add(At("B", 360, 180));
    all.Add(At("C", 180, 90));
    opened.Add(At("C", 180, 90));
    testing_support::RecordingSurface s;
    const std::string status = DrawWorldMap(s, FakeMap(), all, true, opened);
    EXPECT_EQ(status, "Total stations: 3");
    ASSERT_EQ(s.ops.size(), 5u);
    EXPECT_EQ(s.ops[0].kind, DrawOp::Bitmap);
    EXPECT_EQ(s.ops[0].x1, 0);
    EXPECT_EQ(s.ops[0].x2, 540);
    const std::vector<std::pair<int, int>> dots = {{20, 45}, {519, 294}, {269, 169}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.ops[1 + i].kind, DrawOp::Pixel);
        EXPECT_EQ(std::make_pair(s.ops[1 + i].x1, s.ops[1 + i].y1), dots[i]);
        EXPECT_EQ(s.ops[1 + i].color, RGB(255, 0, 0));
    }
    EXPECT_EQ(s.ops[4].kind, DrawOp::FillRect); // the opened station, drawn last
    EXPECT_EQ(s.ops[4].x1, 267);
    EXPECT_EQ(s.ops[4].y1, 167);
    EXPECT_EQ(s.ops[4].x2, 4);
    EXPECT_EQ(s.ops[4].color, RGB(0, 0, 255));
    EXPECT_EQ(recorder.waitBegins, 1);

    s.Clear();
    EXPECT_EQ(DrawWorldMap(s, FakeMap(), all, false, opened), "");
    EXPECT_EQ(s.OfKind(DrawOp::Pixel).size(), 0u);
    EXPECT_EQ(s.OfKind(DrawOp::FillRect).size(), 1u);
}

TEST(MapDrawing, ZoomMapScalesToTheWindowAndLabelsTheStations) {
    StationTable zoom;
    zoom.Add(At("BERLIN", 193.0, 37.0));
    zoom.Add(At("HAMBURG", 190.0, 36.0));
    const MapRegion region{180.0, 200.0, 30.0, 40.0}; // 20 x 10 degrees
    testing_support::RecordingSurface s({0, 0, 400, 200});
    const platform::Font arial{"Arial", 10, 400};
    EXPECT_EQ(DrawZoomMap(s, zoom, region, 400, 200, arial), "Stations inside: 2");
    const auto squares = s.OfKind(DrawOp::FillRect);
    ASSERT_EQ(squares.size(), 2u);
    EXPECT_EQ(squares[0].x1, 260 - 2); // 13 degrees at 20 pixels per degree
    EXPECT_EQ(squares[0].y1, 140 - 2);
    EXPECT_EQ(squares[0].color, RGB(255, 0, 0));
    const DrawOp* label = s.FindText(" BERLIN ");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->x1, 262);
    EXPECT_EQ(label->y1, 142);
    EXPECT_EQ(label->font, arial);
    EXPECT_EQ(label->color, RGB(0, 0, 0));
    EXPECT_EQ(label->background, RGB(255, 255, 255));
    EXPECT_EQ(label->mode, platform::BackgroundMode::Opaque);

    s.Clear();
    EXPECT_EQ(DrawZoomMap(s, StationTable(), region, 400, 200, arial), "Stations inside: 0");
    EXPECT_TRUE(s.ops.empty());
}

namespace {

constexpr std::int64_t kFetched = 1796655300; // 7 December 2026, 14:55 UTC

// Every operation of a drawing, as text, to compare two drawings.
std::vector<std::string> Log(const testing_support::RecordingSurface& s) {
    std::vector<std::string> log;
    for (const DrawOp& op : s.ops)
        log.push_back(platform::Format("%d %d %d %d %d %d %d %d %s", op.kind, op.x1, op.y1, op.x2,
                                       op.y2, op.color.r, op.color.g, op.color.b, op.text.c_str()));
    return log;
}

StationRecord Coded(const std::string& icao, double lon, double colat) {
    StationRecord s = At(icao, lon, colat);
    s.strICAO = icao;
    return s;
}

// Three stations with reports (VFR 13 C 9 kt, IFR -15 C 40 kt, a report without visibility)
// and one without.
struct ColouredWorld {
    StationTable all;
    StationTable opened;
    CurrentConditions conditions;

    ColouredWorld() {
        all.Add(Coded("KJFK", 106.5, 49.4));
        all.Add(Coded("EDDF", 188.6, 39.9));
        all.Add(Coded("CERM", 100, 40));
        all.Add(Coded("NONE", 300, 120));
        LatestTable table;
        table.rows = {
            MakeLatestRow("KJFK", kFetched - 240, "KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012"),
            MakeLatestRow("EDDF", kFetched - 300,
                          "EDDF 071450Z 24040KT 2500 -SN OVC008 M15/M17 Q1002"),
            MakeLatestRow("CERM", kFetched - 300, "CERM 071450Z AUTO 00000KT M10/ RMK AO1")};
        conditions.Take(table, kFetched);
        opened.Add(all.At(1));
    }
    MapColouring Mode(MapColours mode, bool metric = true) const {
        return {mode, &conditions, metric, kFetched + 120};
    }
};

} // namespace

TEST(MapDrawing, ColourModesDrawReportsAsDotsAndTheRestGrey) {
    ColouredWorld w;
    const struct {
        MapColours mode;
        Rgb jfk, eddf, cerm;
        std::vector<std::string> legend;
    } cases[] = {
        {MapColours::Category,
         FlightCategoryColour(FlightCategory::VFR),
         FlightCategoryColour(FlightCategory::IFR),
         {90, 90, 90},
         {"VFR 1", "MVFR 0", "IFR 1", "LIFR 0", "no category 1", "no report 1"}},
        {MapColours::Temperature,
         TemperatureColour(13),
         TemperatureColour(-15),
         TemperatureColour(-10),
         {"below -20 \xB0"
          "C 0",
          "-20 to 0 \xB0"
          "C 2",
          "0 to 15 \xB0"
          "C 1",
          "15 to 30 \xB0"
          "C 0",
          "30 \xB0"
          "C and above 0",
          "no report 1"}},
        {MapColours::Wind,
         WindClassColour(WindClass::Light),
         WindClassColour(WindClass::Gale),
         WindClassColour(WindClass::Calm),
         {"calm 1", "light 1", "moderate 0", "strong 0", "gale 1", "no report 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(MapColoursName(c.mode)));
        testing_support::RecordingSurface s;
        const std::string status =
            DrawWorldMap(s, FakeMap(), w.all, true, w.opened, w.Mode(c.mode));
        EXPECT_EQ(status, "Current conditions: 3 stations, as of 14:55 UTC");
        // The grey dot of the station without a report, first; then a 3 x 3 dot per report.
        const auto pixels = s.OfKind(DrawOp::Pixel);
        ASSERT_EQ(pixels.size(), 1u);
        EXPECT_EQ(std::make_pair(pixels[0].x1, pixels[0].y1), std::make_pair(435, 211));
        EXPECT_EQ(pixels[0].color, RGB(150, 150, 150));
        const auto fills = s.OfKind(DrawOp::FillRect);
        ASSERT_GE(fills.size(), 4u);
        const Rgb expected[] = {c.jfk, c.eddf, c.cerm};
        for (int i = 0; i < 3; ++i) {
            const platform::Point p =
                WorldMapPoint(w.all.At(i).dLongitude, w.all.At(i).dColatitude);
            EXPECT_EQ(fills[i].x1, p.x - 1);
            EXPECT_EQ(fills[i].y1, p.y - 1);
            EXPECT_EQ(fills[i].x2, 3);
            EXPECT_EQ(fills[i].color, RGB(expected[i].r, expected[i].g, expected[i].b)) << i;
        }
        // The opened station's blue square over its dot, then the legend above the map.
        EXPECT_EQ(fills[3].color, RGB(0, 0, 255));
        EXPECT_EQ(fills[3].x2, 4);
        std::vector<std::string> texts = s.Texts();
        ASSERT_EQ(texts.size(), c.legend.size() + 1);
        EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.end() - 1), c.legend);
        EXPECT_EQ(texts.back(), "as of 14:55 UTC");
        for (const DrawOp* text : {s.FindText(c.legend.front()), s.FindText("as of 14:55 UTC")})
            EXPECT_LT(text->y1 + 13, 30) << "above the map's labels";
    }
}

TEST(MapDrawing, WithoutColoursTheWorldMapIsDrawnAsDesigned) {
    ColouredWorld w;
    testing_support::RecordingSurface plain, stations, noTable;
    DrawWorldMap(plain, FakeMap(), w.all, true, w.opened);
    DrawWorldMap(stations, FakeMap(), w.all, true, w.opened, w.Mode(MapColours::Stations));
    EXPECT_EQ(Log(stations), Log(plain));
    MapColouring none = w.Mode(MapColours::Category);
    none.conditions = nullptr;
    DrawWorldMap(noTable, FakeMap(), w.all, true, w.opened, none);
    EXPECT_EQ(Log(noTable), Log(plain));
}

TEST(MapDrawing, AnOldTableSaysHowOldAndStationsWithoutDotsHaveNoLegend) {
    ColouredWorld w;
    w.conditions.NoteFailure(kFetched + 600);
    MapColouring later = w.Mode(MapColours::Category);
    later.now = kFetched + 32 * 60;
    testing_support::RecordingSurface s;
    DrawWorldMap(s, FakeMap(), w.all, true, w.opened, later);
    EXPECT_TRUE(s.FindText("as of 14:55 UTC, 32 min ago"));
    EXPECT_EQ(s.OfKind(DrawOp::FillRect).size(), 4u + 6u); // dots, the square, six swatches
    s.Clear();
    EXPECT_EQ(DrawWorldMap(s, FakeMap(), w.all, false, w.opened, later), "");
    EXPECT_TRUE(s.Texts().empty());
    EXPECT_EQ(s.OfKind(DrawOp::FillRect).size(), 1u);
}

TEST(MapDrawing, ZoomMapColoursItsStationsAndShowsTheLegend) {
    ColouredWorld w;
    const MapRegion region{90, 200, 30, 130};
    testing_support::RecordingSurface s({0, 0, 400, 300});
    const std::string status =
        DrawZoomMap(s, w.all, region, 400, 300, platform::Font{}, w.Mode(MapColours::Category));
    EXPECT_EQ(status, "Stations inside: 4");
    const auto dots = s.OfKind(DrawOp::Ellipse);
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(dots[0].brush, (platform::Brush{RGB(0, 170, 0), false}));
    EXPECT_EQ(dots[1].brush, (platform::Brush{RGB(230, 0, 0), false}));
    // The station without a report: a small grey dot; every station keeps its name.
    const auto grey = s.OfKind(DrawOp::FillRect);
    ASSERT_FALSE(grey.empty());
    EXPECT_EQ(grey[0].color, RGB(150, 150, 150));
    EXPECT_EQ(grey[0].x2, 2);
    for (const char* name :
         {" KJFK ", " EDDF ", " CERM ", " NONE ", "VFR 1", "no report 1", "as of 14:55 UTC"})
        EXPECT_TRUE(s.FindText(name)) << name;
    EXPECT_GE(s.FindText("VFR 1")->y1, 250);
}
