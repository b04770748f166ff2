#pragma once
// Where the seven-segment digit, the separator glyphs and the time display put their
// pixels: plain arithmetic, no widget, so every point can be checked by itself.
//
// The formulas use values that are whole multiples of one half; they are computed
// exactly in half-pixel units and then truncated toward zero (or, where a glyph asks
// for it, rounded with an exact half going to the even neighbour).
#include <array>
#include <cstdint>
#include <vector>

namespace SevenSegment {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle given by two corners, drawn as the canvas draws one: filled, outlined,
// the far corner just outside the outline.
struct Corners {
    Point from;
    Point to;
    friend bool operator==(const Corners&, const Corners&) = default;
};

struct Line {
    Point from;
    Point to;
    friend bool operator==(const Line&, const Line&) = default;
};

// The position and size of a child of the time display.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

using Hexagon = std::array<Point, 6>;

// Segments in the order they are painted: top, upper right, lower right, bottom,
// lower left, upper left, middle.
enum Segment { SegA, SegB, SegC, SegD, SegE, SegF, SegG, SegmentCount };

// The figure E that a digit shows for a value out of range.
constexpr int ErrorValue = 11;
// The inner margin of a digit, in pixels.
constexpr int DigitMargin = 2;

// x / 2 truncated toward zero, for a value given in half pixels.
constexpr int truncHalf(int twice)
{
    return twice / 2;
}
// num / den (den > 0) rounded to the nearest whole number, an exact half going to the
// even neighbour.
int roundHalfEven(int num, int den);

// Bit i set when segment i is lit for the stored value (0 to 9, or 11 for E; any
// other value lights nothing).
std::uint8_t litSegments(int value);
inline bool isLit(int value, Segment segment)
{
    return (litSegments(value) >> segment) & 1u;
}

// The seven hexagons of a digit of width W and height H, segment width s and
// segment space p, in painting order.
std::array<Hexagon, SegmentCount> digitSegments(int W, int H, int s, int p);

// The glyphs of the separator display, in the order of its values.
enum class SpecialGlyph : std::uint8_t { Minus, Plus, Point, Slash, Backslash, TwoPoints };

// What a glyph draws, in drawing order: polygons, then rectangles, then the lines that
// cover the joint of the plus (drawn with a 2-pixel pen in the fill colour).
struct Glyph {
    std::vector<std::vector<Point>> polygons;
    std::vector<Corners> rectangles;
    std::vector<Line> coverLines;
};

// The glyph for a stored value (0 to 5; anything above draws nothing) on a control of
// width W and height H, with stroke width s and dot gap p.
Glyph glyphShapes(int value, int W, int H, int s, int p);

// The eight children of a time display, in index order from the right: seconds units,
// seconds tens, colon, minutes units, minutes tens, colon, hours units, hours tens.
constexpr int TimeChildCount = 8;
constexpr bool isSeparatorIndex(int index)
{
    return index == 2 || index == 5;
}

// The provisional bounds given when the children are created: eight equal slots.
std::array<Bounds, TimeChildCount> provisionalLayout(int W, int H, int digitSpace);

// The layout of a time display: six digits and two separators packed from the right
// edge leftward, each with a gap of digitSpace on its right, inside a margin of 2.
struct TimeLayout {
    int digitWidth = 0;
    int separatorWidth = 0;
    std::array<Bounds, TimeChildCount> children;
};
TimeLayout timeLayout(int W, int H, int segmentWidth, int digitSpace);

} // namespace SevenSegment
