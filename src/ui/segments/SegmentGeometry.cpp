#include "segments/SegmentGeometry.h"

namespace SevenSegment {

int roundHalfEven(int num, int den)
{
    int q = num / den;
    int r = num % den;
    if (r < 0) { // floor division
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && q % 2 != 0))
        ++q;
    return q;
}

std::uint8_t litSegments(int value)
{
    //                                  gfedcba
    static constexpr std::uint8_t Digits[10] = {
        0b0111111, // 0
        0b0000110, // 1
        0b1011011, // 2
        0b1001111, // 3
        0b1100110, // 4
        0b1101101, // 5
        0b1111101, // 6 with its top bar
        0b0000111, // 7 without the left bar
        0b1111111, // 8
        0b1101111, // 9 with its bottom bar
    };
    if (value >= 0 && value <= 9)
        return Digits[value];
    if (value == ErrorValue)
        return 0b1111001; // E
    return 0;
}

std::array<Hexagon, SegmentCount> digitSegments(int W, int H, int s, int p)
{
    const int m = DigitMargin;
    const int L2 = H - 2 * m - 3 * s; // twice the body length of a vertical segment
    const auto T = truncHalf;

    // Horizontal bars: tips at the sides, body between columns m+s+p and W-m-s-p.
    const auto horizontal = [&](int top2, int top, int bottom) -> Hexagon {
        // top2: twice the row of the tips; top/bottom: the rows of the body.
        return { { { T(2 * m + s + 2 * p), T(top2) }, { m + s + p, top }, { W - m - s - p, top },
            { T(2 * W - 2 * m - s - 2 * p), T(top2) }, { W - m - s - p, bottom }, { m + s + p, bottom } } };
    };
    // Vertical bars: left column x0, body from twice-row y0 to twice-row y1 (both
    // already shortened by the space), tips half a width beyond.
    const auto vertical = [&](int x0, int y0, int y1) -> Hexagon {
        const int mid2 = 2 * x0 + s;
        return { { { x0, T(y0) }, { T(mid2), T(y0 - s) }, { x0 + s, T(y0) }, { x0 + s, T(y1) },
            { T(mid2), T(y1 + s) }, { x0, T(y1) } } };
    };

    const int upperTop = 2 * m + 2 * s + 2 * p;
    const int upperBottom = 2 * m + 2 * s + L2 - 2 * p;
    const int lowerTop = 2 * m + 4 * s + L2 + 2 * p;
    const int lowerBottom = 2 * m + 4 * s + 2 * L2 - 2 * p;

    std::array<Hexagon, SegmentCount> out;
    out[SegA] = horizontal(2 * m + s, m, m + s);
    out[SegB] = vertical(W - m - s, upperTop, upperBottom);
    out[SegC] = vertical(W - m - s, lowerTop, lowerBottom);
    out[SegD] = horizontal(2 * H - 2 * m - s, H - m, H - m - s);
    out[SegE] = vertical(m, lowerTop, lowerBottom);
    out[SegF] = vertical(m, upperTop, upperBottom);
    out[SegG] = horizontal(2 * m + 3 * s + L2, T(2 * m + 2 * s + L2), T(2 * m + 4 * s + L2));
    return out;
}

Glyph glyphShapes(int value, int W, int H, int s, int p)
{
    const auto T = truncHalf;
    Glyph g;
    switch (static_cast<SpecialGlyph>(value)) {
    case SpecialGlyph::Minus: {
        const int L2 = H - 3 * s;
        g.polygons.push_back({ { T(s), T(L2 + 3 * s) }, { s, T(L2 + 2 * s) }, { W - s, T(L2 + 2 * s) },
            { T(2 * W - s), T(L2 + 3 * s) }, { W - s, T(L2 + 4 * s) }, { s, T(L2 + 4 * s) } });
        break;
    }
    case SpecialGlyph::Plus: {
        const int L2 = H - 3 * s;
        const int V2 = H - W; // twice the overhang above and below the vertical bar
        const int barTop = T(L2 + 2 * s);
        const int barBottom = T(L2 + 4 * s);
        g.rectangles.push_back({ { 0, barTop }, { W, barBottom } });
        g.rectangles.push_back({ { T(W - s), T(V2) }, { T(W + s), T(2 * H - V2) } });
        // Paint over the vertical bar's outline where it crosses the horizontal bar,
        // so the cross reads as one shape.
        g.coverLines.push_back({ { T(W + s), barTop + 1 }, { T(W + s), barBottom - 1 } });
        g.coverLines.push_back({ { T(W - s), barTop + 1 }, { T(W - s), barBottom - 1 } });
        break;
    }
    case SpecialGlyph::Point:
        g.rectangles.push_back(
            { { roundHalfEven(W - s, 2), H - 2 - s }, { roundHalfEven(W + s, 2), H - 2 } });
        break;
    case SpecialGlyph::Slash:
        g.polygons.push_back({ { W - 2, 2 }, { W - 2, 2 + s }, { 2 + s, H - 2 }, { 2, H - 2 },
            { 2, H - 2 - s }, { W - 2 - s, 2 } });
        break;
    case SpecialGlyph::Backslash:
        g.polygons.push_back({ { 2, 2 }, { 2 + s, 2 }, { W - 2, H - 2 - s }, { W - 2, H - 2 },
            { W - 2 - s, H - 2 }, { 2, 2 + s } });
        break;
    case SpecialGlyph::TwoPoints: {
        const int V2 = H - 2 * s - p;
        g.rectangles.push_back({ { T(W - s), T(V2) }, { T(W + s), T(V2 + 2 * s) } });
        g.rectangles.push_back({ { T(W - s), T(2 * H - V2 - 2 * s) }, { T(W + s), T(2 * H - V2) } });
        break;
    }
    default:
        break;
    }
    return g;
}

std::array<Bounds, TimeChildCount> provisionalLayout(int W, int H, int digitSpace)
{
    const int w = roundHalfEven(W - 4 - 8 * digitSpace, 8);
    std::array<Bounds, TimeChildCount> out;
    for (int i = 1; i <= TimeChildCount; ++i)
        out[i - 1] = { W - 2 - i * w - (i - 1) * digitSpace, 2, w, H - 4 };
    return out;
}

TimeLayout timeLayout(int W, int H, int segmentWidth, int digitSpace)
{
    TimeLayout layout;
    layout.separatorWidth = segmentWidth + 6;
    layout.digitWidth = (W - 4 - 8 * digitSpace - 2 * layout.separatorWidth) / 6;
    int x = W - 2;
    for (int i = 0; i < TimeChildCount; ++i) {
        const int width = isSeparatorIndex(i) ? layout.separatorWidth : layout.digitWidth;
        x -= width + digitSpace;
        layout.children[i] = { x, 2, width, H - 4 };
    }
    return layout;
}

} // namespace SevenSegment
