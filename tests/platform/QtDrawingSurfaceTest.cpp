// The Qt drawing surface follows the design's pixel rules: lines leave out their end point,
// rectangles outline the inside of their edges, text cells are as high as their font.

#include "platform/qt/QtDrawingSurface.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

using platform::RGB;

namespace {

const QColor kWhite(255, 255, 255);

// A white picture drawn on through the surface.
QImage Draw(int width, int height, const std::function<void(platform::DrawingSurface&)>& draw) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(kWhite);
    QPainter painter(&picture);
    platform::QtDrawingSurface surface(painter, {0, 0, width, height});
    draw(surface);
    painter.end();
    return picture;
}

bool Ink(const QImage& picture, int x, int y) {
    return picture.pixelColor(x, y) != kWhite;
}

} // namespace

TEST(QtDrawingSurface, LinesLeaveOutTheirEndPoint) {
    const QImage p = Draw(30, 30, [](platform::DrawingSurface& dc) {
        dc.MoveTo(2, 5);
        dc.LineTo(10, 5); // horizontal
        dc.MoveTo(20, 25);
        dc.LineTo(20, 3); // vertical, upwards
        dc.MoveTo(2, 10);
        dc.LineTo(8, 16); // diagonal
        dc.MoveTo(25, 25);
        dc.LineTo(25, 25); // no length: nothing at all
    });
    for (int x = 2; x < 10; ++x)
        EXPECT_TRUE(Ink(p, x, 5)) << x;
    EXPECT_FALSE(Ink(p, 10, 5));
    for (int y = 4; y <= 25; ++y)
        EXPECT_TRUE(Ink(p, 20, y)) << y;
    EXPECT_FALSE(Ink(p, 20, 3));
    EXPECT_TRUE(Ink(p, 2, 10));
    EXPECT_TRUE(Ink(p, 7, 15));
    EXPECT_FALSE(Ink(p, 8, 16));
    EXPECT_FALSE(Ink(p, 25, 25));
}

TEST(QtDrawingSurface, RectanglesOutlineTheInsideOfTheirEdges) {
    const QImage p = Draw(30, 30, [](platform::DrawingSurface& dc) {
        dc.SelectPen({1, RGB(0, 0, 0)});
        dc.SelectBrush({RGB(0, 0, 255), false});
        dc.Rectangle(2, 3, 12, 9);
    });
    const QColor black(0, 0, 0), blue(0, 0, 255);
    for (int x = 2; x <= 11; ++x) {
        EXPECT_EQ(p.pixelColor(x, 3), black) << x;
        EXPECT_EQ(p.pixelColor(x, 8), black) << x;
        EXPECT_EQ(p.pixelColor(x, 9), kWhite) << x; // the bottom edge is excluded
    }
    for (int y = 3; y <= 8; ++y) {
        EXPECT_EQ(p.pixelColor(2, y), black) << y;
        EXPECT_EQ(p.pixelColor(11, y), black) << y;
        EXPECT_EQ(p.pixelColor(12, y), kWhite) << y; // the right edge is excluded
    }
    EXPECT_EQ(p.pixelColor(5, 5), blue);
    EXPECT_EQ(p.pixelColor(1, 5), kWhite);
    EXPECT_EQ(p.pixelColor(5, 2), kWhite);
}

TEST(QtDrawingSurface, TextCellsAreAsHighAsTheirFontOnAnOpaqueBackground) {
    for (const platform::Font& font :
         {platform::Font{"Arial Cyr", 14, 400}, platform::Font{"Arial Cyr", 16, 400},
          platform::Font{"Arial", 10, 400}}) {
        platform::Size extent;
        const QImage p = Draw(200, 60, [&](platform::DrawingSurface& dc) {
            dc.SelectFont(font);
            dc.SetBkColor(RGB(255, 255, 0));
            dc.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
            extent = dc.GetTextExtent("Hgjy|(102");
            dc.TextOut(20, 10, "Hgjy|(102");
        });
        EXPECT_EQ(extent.cy, font.height) << font.height;
        // The cell is filled with the background colour, exactly; every glyph pixel lies in it.
        const QRect cell(20, 10, extent.cx, font.height);
        EXPECT_EQ(p.pixelColor(cell.left(), cell.top()), QColor(255, 255, 0));
        EXPECT_EQ(p.pixelColor(cell.right(), cell.bottom()), QColor(255, 255, 0));
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                if (!cell.contains(x, y)) {
                    ASSERT_EQ(p.pixelColor(x, y), kWhite) << font.height << " at " << x << "," << y;
                }
            }
    }
    // Transparent text leaves the background as it is.
    const QImage p = Draw(200, 40, [](platform::DrawingSurface& dc) {
        dc.SelectFont({"Arial Cyr", 14, 400});
        dc.SetBkColor(RGB(255, 255, 0));
        dc.SetBkMode(platform::BackgroundMode::Transparent);
        dc.TextOut(10, 10, "....");
    });
    int yellow = 0;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            yellow += p.pixelColor(x, y) == QColor(255, 255, 0);
    EXPECT_EQ(yellow, 0);
}

TEST(QtDrawingSurface, CentredTextStandsOnItsReferencePoint) {
    platform::Size extent;
    const QImage p = Draw(200, 40, [&](platform::DrawingSurface& dc) {
        dc.SelectFont({"Arial Cyr", 14, 400});
        dc.SetBkColor(RGB(0, 255, 0));
        dc.SetTextAlign(platform::TA_CENTER | platform::TA_TOP);
        extent = dc.GetTextExtent("10:50");
        dc.TextOut(100, 5, "10:50");
    });
    EXPECT_EQ(p.pixelColor(100 - extent.cx / 2, 5), QColor(0, 255, 0));
    EXPECT_EQ(p.pixelColor(100 - extent.cx / 2 - 1, 5), kWhite);
    EXPECT_EQ(p.pixelColor(100, 4), kWhite);
    EXPECT_EQ(p.pixelColor(100, 5 + 14), kWhite);
}
