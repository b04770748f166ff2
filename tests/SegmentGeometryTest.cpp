// The seven-segment geometry point by point, the separator glyphs, the time display's
// layout and the splitting of a time value into what the digits read.
#include "segments/SegmentGeometry.h"
#include "clocks/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace SevenSegment;

namespace {

using Pts = std::vector<Point>;

Pts pts(const Hexagon& h)
{
    return Pts(h.begin(), h.end());
}

std::string litNames(int value)
{
    std::string out;
    for (int s = SegA; s < SegmentCount; ++s)
        if (isLit(value, Segment(s)))
            out += char('a' + s);
    return out;
}

TEST(DigitSegments, LitSegmentsOfEveryValueAndE)
{
    const char* const expected[]
        = { "abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg" };
    for (int v = 0; v <= 9; ++v)
        EXPECT_EQ(litNames(v), expected[v]) << v;
    EXPECT_EQ(litNames(ErrorValue), "adefg");
    for (int v : { -1, 10, 12, 100 })
        EXPECT_EQ(litNames(v), "") << v;
}

TEST(DigitSegments, ConstructorSizeThirtyByFifty)
{
    const auto s = digitSegments(30, 50, 4, 1);
    EXPECT_EQ(pts(s[SegA]), (Pts { { 5, 4 }, { 7, 2 }, { 23, 2 }, { 25, 4 }, { 23, 6 }, { 7, 6 } }));
    EXPECT_EQ(pts(s[SegB]), (Pts { { 24, 7 }, { 26, 5 }, { 28, 7 }, { 28, 22 }, { 26, 24 }, { 24, 22 } }));
    EXPECT_EQ(pts(s[SegC]), (Pts { { 24, 28 }, { 26, 26 }, { 28, 28 }, { 28, 43 }, { 26, 45 }, { 24, 43 } }));
    EXPECT_EQ(pts(s[SegD]), (Pts { { 5, 46 }, { 7, 48 }, { 23, 48 }, { 25, 46 }, { 23, 44 }, { 7, 44 } }));
    EXPECT_EQ(pts(s[SegE]), (Pts { { 2, 28 }, { 4, 26 }, { 6, 28 }, { 6, 43 }, { 4, 45 }, { 2, 43 } }));
    EXPECT_EQ(pts(s[SegF]), (Pts { { 2, 7 }, { 4, 5 }, { 6, 7 }, { 6, 22 }, { 4, 24 }, { 2, 22 } }));
    EXPECT_EQ(pts(s[SegG]), (Pts { { 5, 25 }, { 7, 23 }, { 23, 23 }, { 25, 25 }, { 23, 27 }, { 7, 27 } }));
}

TEST(DigitSegments, ZoneClockDigitTwentyByThirtySevenWithHalfPixels)
{
    const auto s = digitSegments(20, 37, 2, 1);
    EXPECT_EQ(pts(s[SegA]), (Pts { { 4, 3 }, { 5, 2 }, { 15, 2 }, { 16, 3 }, { 15, 4 }, { 5, 4 } }));
    EXPECT_EQ(pts(s[SegB]), (Pts { { 16, 5 }, { 17, 4 }, { 18, 5 }, { 18, 16 }, { 17, 17 }, { 16, 16 } }));
    EXPECT_EQ(pts(s[SegC]), (Pts { { 16, 20 }, { 17, 19 }, { 18, 20 }, { 18, 32 }, { 17, 33 }, { 16, 32 } }));
    EXPECT_EQ(pts(s[SegD]), (Pts { { 4, 34 }, { 5, 35 }, { 15, 35 }, { 16, 34 }, { 15, 33 }, { 5, 33 } }));
    EXPECT_EQ(pts(s[SegE]), (Pts { { 2, 20 }, { 3, 19 }, { 4, 20 }, { 4, 32 }, { 3, 33 }, { 2, 32 } }));
    EXPECT_EQ(pts(s[SegF]), (Pts { { 2, 5 }, { 3, 4 }, { 4, 5 }, { 4, 16 }, { 3, 17 }, { 2, 16 } }));
    EXPECT_EQ(pts(s[SegG]), (Pts { { 4, 18 }, { 5, 17 }, { 15, 17 }, { 16, 18 }, { 15, 19 }, { 5, 19 } }));
}

TEST(DigitSegments, ZeroSpaceLetsTipsMeetAndTooSmallHeightFoldsWithoutClamping)
{
    const auto s = digitSegments(30, 50, 4, 0);
    // The tip of a touches the top tip of f.
    EXPECT_EQ(s[SegA][0], (Point { 4, 4 }));
    EXPECT_EQ(s[SegF][1], (Point { 4, 4 }));
    // Height 10 with width 4: L = (10 - 4 - 12) / 2 = -3; the lower bars start above the
    // upper ones and the truncation goes toward zero.
    const auto f = digitSegments(30, 10, 4, 1);
    EXPECT_EQ(f[SegB][3], (Point { 28, 2 })); // T(2 + 4 - 3 - 1)
    EXPECT_EQ(f[SegC][0], (Point { 24, 8 })); // T(2 + 8 - 3 + 1)
    EXPECT_EQ(f[SegC][4], (Point { 26, 5 })); // T(2 + 8 - 6 + 2 - 1)
    const auto n = digitSegments(30, 5, 4, 1); // L = -5.5
    EXPECT_EQ(n[SegB][3], (Point { 28, 0 })); // T(2 + 4 - 5.5 - 1) = T(-0.5) is 0, not -1
}

TEST(RoundHalfEven, ExactHalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(27, 2), 14);
    EXPECT_EQ(roundHalfEven(25, 2), 12);
    EXPECT_EQ(roundHalfEven(-3, 2), -2);
    EXPECT_EQ(roundHalfEven(-5, 2), -2);
    EXPECT_EQ(roundHalfEven(12, 8), 2); // 1.5
    EXPECT_EQ(roundHalfEven(20, 8), 2); // 2.5
    EXPECT_EQ(roundHalfEven(21, 8), 3);
    EXPECT_EQ(roundHalfEven(19, 8), 2);
}

TEST(Glyphs, MinusPlusAndPointAtThirtyByFifty)
{
    const Glyph minus = glyphShapes(0, 30, 50, 4, 1);
    ASSERT_EQ(minus.polygons.size(), 1u);
    EXPECT_EQ(
        minus.polygons[0], (Pts { { 2, 25 }, { 4, 23 }, { 26, 23 }, { 28, 25 }, { 26, 27 }, { 4, 27 } }));
    EXPECT_TRUE(minus.rectangles.empty());

    const Glyph plus = glyphShapes(1, 30, 50, 4, 1);
    EXPECT_EQ(
        plus.rectangles, (std::vector<Corners> { { { 0, 23 }, { 30, 27 } }, { { 13, 10 }, { 17, 40 } } }));
    EXPECT_EQ(
        plus.coverLines, (std::vector<Line> { { { 17, 24 }, { 17, 26 } }, { { 13, 24 }, { 13, 26 } } }));

    const Glyph point = glyphShapes(2, 30, 50, 4, 1);
    EXPECT_EQ(point.rectangles, (std::vector<Corners> { { { 13, 44 }, { 17, 48 } } }));
}

TEST(Glyphs, PointRoundsAnExactHalfToEven)
{
    // W 31, s 4: (31 - 4) / 2 = 13.5 goes to 14, 17.5 goes to 18.
    EXPECT_EQ(glyphShapes(2, 31, 50, 4, 1).rectangles, (std::vector<Corners> { { { 14, 44 }, { 18, 48 } } }));
    // W 29: 12.5 goes to 12, 16.5 goes to 16.
    EXPECT_EQ(glyphShapes(2, 29, 50, 4, 1).rectangles, (std::vector<Corners> { { { 12, 44 }, { 16, 48 } } }));
}

TEST(Glyphs, ColonOfTheZoneClocksAndItsDotGap)
{
    EXPECT_EQ(glyphShapes(5, 8, 37, 2, 5).rectangles,
        (std::vector<Corners> { { { 3, 14 }, { 5, 16 } }, { { 3, 21 }, { 5, 23 } } }));
    // No gap: the dots touch and read as one bar of height 2s.
    const auto touching = glyphShapes(5, 8, 37, 2, 0).rectangles;
    ASSERT_EQ(touching.size(), 2u);
    EXPECT_EQ(touching[0].to.y, touching[1].from.y);
    EXPECT_EQ(touching[1].to.y - touching[0].from.y, 4);
}

TEST(Glyphs, SlashesPlusWiderThanTallAndValuesAboveTheLast)
{
    EXPECT_EQ(glyphShapes(3, 30, 50, 4, 1).polygons[0],
        (Pts { { 28, 2 }, { 28, 6 }, { 6, 48 }, { 2, 48 }, { 2, 44 }, { 24, 2 } }));
    EXPECT_EQ(glyphShapes(4, 30, 50, 4, 1).polygons[0],
        (Pts { { 2, 2 }, { 6, 2 }, { 28, 44 }, { 28, 48 }, { 24, 48 }, { 2, 6 } }));
    // V = (20 - 40) / 2 = -10: the vertical bar reaches beyond the top and the bottom.
    const auto wide = glyphShapes(1, 40, 20, 4, 1).rectangles;
    EXPECT_EQ(wide[1], (Corners { { 18, -10 }, { 22, 30 } }));
    const Glyph none = glyphShapes(6, 30, 50, 4, 1);
    EXPECT_TRUE(none.polygons.empty() && none.rectangles.empty() && none.coverLines.empty());
}

std::vector<int> lefts(const std::array<Bounds, TimeChildCount>& b)
{
    std::vector<int> out;
    for (const auto& x : b)
        out.push_back(x.left);
    return out;
}

TEST(TimeLayout, WorkedSizes)
{
    const TimeLayout small = timeLayout(138, 33, 2, 2);
    EXPECT_EQ(small.digitWidth, 17);
    EXPECT_EQ(small.separatorWidth, 8);
    EXPECT_EQ(lefts(small.children), (std::vector<int> { 117, 98, 88, 69, 50, 40, 21, 2 }));
    for (int i = 0; i < TimeChildCount; ++i) {
        EXPECT_EQ(small.children[i].top, 2);
        EXPECT_EQ(small.children[i].height, 29);
        EXPECT_EQ(small.children[i].width, isSeparatorIndex(i) ? 8 : 17) << i;
    }
    const TimeLayout zone = timeLayout(161, 41, 2, 2);
    EXPECT_EQ(zone.digitWidth, 20);
    EXPECT_EQ(zone.children[0].height, 37);
    EXPECT_EQ(lefts(zone.children), (std::vector<int> { 137, 115, 105, 83, 61, 51, 29, 7 }));
    // The separator slot follows the segment width.
    const TimeLayout thick = timeLayout(161, 41, 4, 2);
    EXPECT_EQ(thick.separatorWidth, 10);
    EXPECT_EQ(thick.digitWidth, 20); // 121 / 6 truncated
}

TEST(TimeLayout, ProvisionalSlotsRoundHalfToEven)
{
    // (138 - 4 - 16) / 8 = 14.75 -> 15.
    const auto p = provisionalLayout(138, 33, 2);
    EXPECT_EQ(p[0], (Bounds { 121, 2, 15, 29 }));
    EXPECT_EQ(p[7], (Bounds { 138 - 2 - 8 * 15 - 7 * 2, 2, 15, 29 }));
    // (40 - 4 - 0) / 8 = 4.5 -> 4; (44 - 4) / 8 = 5 ; (48 - 4) / 8 = 5.5 -> 6.
    EXPECT_EQ(provisionalLayout(40, 20, 0)[0].width, 4);
    EXPECT_EQ(provisionalLayout(48, 20, 0)[0].width, 6);
}

double at(int h, int m, int s, double extraMs = 0)
{
    return ((h * 3600.0 + m * 60 + s) * 1000.0 + extraMs) / 86400000.0;
}

TEST(SplitTimeOfDay, ReducesIntoOneDayAlsoBelowZero)
{
    EXPECT_EQ(timeOfDayText(splitTimeOfDay(-0.25)), "18:00:00");
    EXPECT_EQ(timeOfDayText(splitTimeOfDay(45000.75)), "18:00:00");
    EXPECT_EQ(timeOfDayText(splitTimeOfDay(-1.0 / 24)), "23:00:00");
    EXPECT_EQ(timeOfDayText(splitTimeOfDay(1 + 1.0 / 24)), "01:00:00");
    EXPECT_EQ(timeOfDayText(splitTimeOfDay(at(9, 5, 7))), "09:05:07");
    EXPECT_EQ(timeOfDayText(splitTimeOfDay(at(13, 0, 0))), "13:00:00");
    EXPECT_EQ(timeOfDayText(splitTimeOfDay(42600 + at(23, 59, 59))), "23:59:59");
}

TEST(SplitTimeOfDay, RoundsToWholeMillisecondsThenDropsThem)
{
    EXPECT_EQ(splitTimeOfDay(45000 + at(12, 0, 1, -0.4)), (TimeOfDay { 12, 0, 1 }));
    EXPECT_EQ(splitTimeOfDay(45000 + at(12, 0, 1, -0.6)), (TimeOfDay { 12, 0, 0 }));
    EXPECT_EQ(splitTimeOfDay(at(23, 59, 59, 999.6)), (TimeOfDay { 0, 0, 0 }));
    EXPECT_EQ(splitTimeOfDay(at(12, 0, 0, 999)), (TimeOfDay { 12, 0, 0 }));
    // Hand-written value from a stored form: 42600.5004578935 is 12:00:39.562.
    EXPECT_EQ(splitTimeOfDay(42600.5004578935), (TimeOfDay { 12, 0, 39 }));
}

TEST(SplitTimeOfDay, ValuesThatCannotBeSplitReadMidnight)
{
    EXPECT_EQ(splitTimeOfDay(std::numeric_limits<double>::quiet_NaN()), (TimeOfDay {}));
    EXPECT_EQ(splitTimeOfDay(std::numeric_limits<double>::infinity()), (TimeOfDay {}));
    EXPECT_EQ(splitTimeOfDay(1e300), (TimeOfDay {}));
    EXPECT_EQ(splitTimeOfDay(-1e300), (TimeOfDay {}));
    // Every date of practical use splits: 31 December 9999, 18:30.
    EXPECT_EQ(splitTimeOfDay(encodeDateTime(9999, 12, 31, 18, 30, 0)), (TimeOfDay { 18, 30, 0 }));
}

TEST(DateTimeValues, CountDaysFromTheLastDaysOf1899)
{
    EXPECT_EQ(daysSince1899(1899, 12, 30), 0);
    EXPECT_EQ(daysSince1899(1900, 1, 1), 2);
    EXPECT_EQ(daysSince1899(1970, 1, 1), 25569);
    EXPECT_EQ(daysSince1899(2016, 8, 19), 42601);
    EXPECT_DOUBLE_EQ(encodeDateTime(2016, 8, 19, 18, 0, 0), 42601.75);
}

} // namespace
