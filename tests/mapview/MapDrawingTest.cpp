#include "mapview/MapDrawing.h"
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
