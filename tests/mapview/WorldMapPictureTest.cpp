// The world map picture: land and sea where they are, at the projection the stations use.

#include "resources/ResourceImages.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

const QColor kSea(186, 214, 236);
const QColor kLand(236, 228, 196);

// The pixel of a longitude and latitude, as stations are placed on the map.
QPoint At(double lon, double lat) {
    return {20 + static_cast<int>((lon + 180) * 499.0 / 360.0),
            45 + static_cast<int>((90 - lat) * 249.0 / 180.0)};
}

} // namespace

TEST(WorldMapPicture, SizeAndColours) {
    const QImage& map = resources::WorldMap();
    ASSERT_EQ(map.size(), QSize(540, 341));
    EXPECT_LE(map.colorCount(), 16);
}

TEST(WorldMapPicture, LandAndSeaAtKnownPlaces) {
    const QImage& map = resources::WorldMap();
    const struct {
        const char* place;
        double lon, lat;
        QColor colour;
    } places[] = {
        {"Sahara", 10, 23, kLand},
        {"central Australia", 134, -25, kLand},
        {"Siberia", 100, 62, kLand},
        {"Amazonia", -62, -5, kLand},
        {"Canadian Shield", -100, 57, kLand},
        {"Antarctic plateau", 40, -85, kLand},
        {"mid Pacific", -155, 5, kSea},
        {"North Atlantic", -40, 35, kSea},
        {"Indian Ocean", 75, -20, kSea},
        {"South Atlantic", -15, -40, kSea},
        {"Southern Ocean", 100, -55, kSea},
    };
    for (const auto& p : places)
        EXPECT_EQ(map.pixelColor(At(p.lon, p.lat)), p.colour) << p.place;
}

TEST(WorldMapPicture, CornersOfTheMapArea) {
    const QImage& map = resources::WorldMap();
    EXPECT_EQ(map.pixelColor(20, 45), kSea); // 180 W on the North Pole: the Arctic Ocean
    EXPECT_EQ(map.pixelColor(519, 45), kSea);
    EXPECT_EQ(map.pixelColor(20, 294), kLand); // the South Pole
    EXPECT_EQ(map.pixelColor(519, 294), kLand);
    // The frame around the area and the white margins beyond it.
    EXPECT_EQ(map.pixelColor(19, 100), QColor(0, 0, 0));
    EXPECT_EQ(map.pixelColor(520, 100), QColor(0, 0, 0));
    EXPECT_EQ(map.pixelColor(100, 44), QColor(0, 0, 0));
    EXPECT_EQ(map.pixelColor(100, 295), QColor(0, 0, 0));
    EXPECT_EQ(map.pixelColor(5, 20), QColor(255, 255, 255));
}
