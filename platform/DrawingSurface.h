#pragma once

#include <cstdint>
#include <string>

// The drawing operations the map and the graphs use, in device pixels of a window's client
// area (origin top left, y downwards; rectangles exclude their right and bottom edges).
// Pens, brushes and fonts are selected into the surface; selecting returns what was selected
// before, so that a caller can put it back when done.
namespace platform {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};
constexpr Color RGB(int r, int g, int b) {
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(b)};
}

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0, cy = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// Always solid; a width of 0 or 1 is one pixel.
struct Pen {
    int width = 1;
    Color color;
    bool operator==(const Pen&) const = default;
};

struct Brush {
    Color color = RGB(255, 255, 255);
    bool null = false; // a hollow brush fills nothing
    bool operator==(const Brush&) const = default;
};

// Face name, height in pixels as a cell height (ascent plus descent), weight.
struct Font {
    std::string face = "Arial";
    int height = 10;
    int weight = 400;
    bool operator==(const Font&) const = default;
};

// Horizontal and vertical reference of text output.
enum TextAlign : unsigned {
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

enum class BackgroundMode { Opaque, Transparent };

// A picture that can be copied onto a surface unscaled.
class Bitmap {
public:
    virtual ~Bitmap() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // The client rectangle of the window the surface draws into (left and top 0).
    virtual Rect ClientRect() const = 0;

    virtual Pen SelectPen(const Pen& pen) = 0;
    virtual Brush SelectBrush(const Brush& brush) = 0;
    virtual Font SelectFont(const Font& font) = 0;
    virtual Pen CurrentPen() const = 0;

    virtual Color SetTextColor(Color color) = 0;
    virtual Color SetBkColor(Color color) = 0;
    virtual BackgroundMode SetBkMode(BackgroundMode mode) = 0;
    virtual unsigned SetTextAlign(unsigned align) = 0;

    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // Outlined with the pen and filled with the brush.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // Fills cx x cy pixels in the colour, which becomes the background colour (as on Windows).
    virtual void FillSolidRect(int x, int y, int cx, int cy, Color color) = 0;
    virtual void SetPixel(int x, int y, Color color) = 0;
    // A single-byte (Windows-1252) text at the reference point given by the alignment.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual Size GetTextExtent(const std::string& text) const = 0;
    virtual void DrawBitmap(int x, int y, const Bitmap& bitmap) = 0;
};

// The defaults a surface obtained for a window starts with.
inline const Pen kBlackPen{1, RGB(0, 0, 0)};
inline const Brush kWhiteBrush{RGB(255, 255, 255), false};

} // namespace platform
