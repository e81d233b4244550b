// The geometry of the maps, case by case.

#include "catalogue/MapProjection.h"

#include <gtest/gtest.h>

TEST(MapProjection, StationsOnTheWorldMap) {
    const struct {
        double longitude, colatitude;
        int x, y;
    } cases[] = {
        {0, 0, 20, 45},                // 180 W on the North Pole
        {360, 180, 519, 294},          // 180 E on the South Pole
        {180, 90, 269, 169},           // Greenwich on the Equator: 249.5 and 124.5 truncated
        {106.2333, 49.3667, 167, 113}, // New York
        {193.4, 37.5333, 288, 96},     // Berlin
    };
    for (const auto& c : cases) {
        const platform::Point p = WorldMapPoint(c.longitude, c.colatitude);
        EXPECT_EQ(p.x, c.x) << c.longitude;
        EXPECT_EQ(p.y, c.y) << c.colatitude;
    }
}

TEST(MapProjection, PixelsOfTheWorldMap) {
    const struct {
        int x, y;
        double longitude, colatitude;
        const char* lon;
        const char* lat;
    } cases[] = {
        {20, 45, 0, 0, "180 00W", "90 00N"},
        {519, 294, 360, 249 * 0.7228915662650601, "180 00E", "89 59S"},
        {270, 170, 250 * 0.721442885771543, 125 * 0.7228915662650601, "000 21E", "00 21S"},
        {269, 169, 249 * 0.721442885771543, 124 * 0.7228915662650601, "000 21W", "00 21N"},
    };
    for (const auto& c : cases) {
        const auto p = WorldMapPosition(c.x, c.y);
        ASSERT_TRUE(p) << c.x << "," << c.y;
        EXPECT_DOUBLE_EQ(p->longitude, c.longitude);
        EXPECT_DOUBLE_EQ(p->colatitude, c.colatitude);
        EXPECT_EQ(p->longitudeText, c.lon);
        EXPECT_EQ(p->latitudeText, c.lat);
    }
    // Off the map area: its right and bottom edges lie outside it.
    for (const auto& [x, y] :
         {std::pair{520, 100}, std::pair{19, 100}, std::pair{100, 44}, std::pair{100, 295}})
        EXPECT_FALSE(WorldMapPosition(x, y)) << x << "," << y;
}

TEST(MapProjection, DraggedRectangles) {
    // On the 540 x 341 world map picture.
    const MapRegion r = WorldDragRegion(120, 95, 200, 150, 540, 341);
    EXPECT_NEAR(r.lonFrom, 72.00, 0.005);
    EXPECT_NEAR(r.colatFrom, 35.86, 0.005);
    EXPECT_NEAR(r.lonTo, 129.60, 0.005);
    EXPECT_NEAR(r.colatTo, 75.30, 0.005);
    EXPECT_EQ(WorldDragRegion(20, 45, 520, 296, 540, 341), (MapRegion{0, 360, 0, 180}));

    // In a zoomed map of 10 x 5 degrees shown in 200 x 100 pixels.
    const MapRegion shown{100, 110, 40, 45};
    const ZoomScale s = ScaleOf(shown, 200, 100);
    EXPECT_DOUBLE_EQ(s.kx, 0.05);
    EXPECT_DOUBLE_EQ(s.ky, 0.05);
    EXPECT_EQ(ZoomDragRegion(20, 10, 60, 30, shown, s), (MapRegion{101, 103, 40.5, 41.5}));
    const MapPosition at = ZoomMapPosition(shown, s, 100, 50);
    EXPECT_DOUBLE_EQ(at.longitude, 105);
    EXPECT_DOUBLE_EQ(at.colatitude, 42.5);
    const auto point = ZoomMapPoint(shown, s, 105, 42.5);
    ASSERT_TRUE(point);
    EXPECT_EQ(*point, (platform::Point{100, 50}));
    // A region without extent places nothing.
    EXPECT_FALSE(
        ZoomMapPoint(MapRegion{5, 5, 5, 5}, ScaleOf(MapRegion{5, 5, 5, 5}, 200, 100), 5, 5));
}

TEST(MapProjection, SquaresAndRegionsAreStrict) {
    // 90 minutes around 179.9: between 178.4 and 181.4, exclusive.
    const struct {
        double longitude;
        bool inside;
    } cases[] = {{178.45, true}, {181.35, true}, {178.35, false}, {181.45, false}, {179.9, true}};
    for (const auto& c : cases)
        EXPECT_EQ(InNearestSquare(179.9, 90, 90, c.longitude, 90), c.inside) << c.longitude;
    // No wrap-around at the seam: 0.5 sees up to 2.0 on one side only.
    EXPECT_TRUE(InNearestSquare(0.5, 90, 90, 1.9, 90));
    EXPECT_FALSE(InNearestSquare(0.5, 90, 90, 359.9, 90));

    const MapRegion whole{0, 360, 0, 180};
    EXPECT_TRUE(Inside(whole, 180, 90));
    EXPECT_FALSE(Inside(whole, 0, 90));                      // on the edge
    EXPECT_FALSE(Inside(MapRegion{10, 20, 50, 40}, 15, 45)); // dragged upwards: nothing inside
    StationTable all, inside;
    StationRecord a, b;
    a.dLongitude = 15, a.dColatitude = 45;
    b.dLongitude = 25, b.dColatitude = 45;
    all.Add(a);
    all.Add(b);
    inside.Add(b);
    StationsInside(all, MapRegion{10, 20, 40, 50}, inside);
    ASSERT_EQ(inside.GetSize(), 1);
    EXPECT_EQ(inside[0].dLongitude, 15);
}
