// The display characters: segment shapes from the overlay, the character
// table and the painter.
#include <gtest/gtest.h>

#include "sheet/DisplayCharacters.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

std::vector<std::string> Lines(std::initializer_list<const char*> l) {
    return {l.begin(), l.end()};
}

TEST(SegmentGeometry, ReadsSegmentsSkippingCommentsAndZeroLines) {
    const SegmentGeometry g = SegmentGeometry::Parse(Lines({
        "// a comment",
        "  1|(0,0)(10,0)(0,10)  ",
        "0",
        "-2|( 20 , 20 )(30,20)(20,30)|(30,20)(30,30)(20,30)",
        "",
        "2|(0,40)(10,40)(0,50)|(10,40)(10,50)(0,50)",
        "#",
        "1|(0,0)(99,0)(0,99)",
    }));
    ASSERT_EQ(g.Count(), 3);
    EXPECT_TRUE(g.At(0).drawable);
    EXPECT_FALSE(g.At(1).drawable);
    EXPECT_EQ(g.At(1).triangles.size(), 2u);
    EXPECT_EQ(g.At(2).triangles[1][1].x, 10);
    const Rect b = g.Bounds();
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.right, 30);
    EXPECT_EQ(b.bottom, 50);
    // Segment 0 of 3 is the most significant bit.
    EXPECT_EQ(g.BitOf(0), 4u);
    EXPECT_EQ(g.BitOf(2), 1u);
}

TEST(SegmentGeometry, HitsOnlyDrawableSegments) {
    const SegmentGeometry g = SegmentGeometry::Parse(Lines({
        "1|(0,0)(10,0)(0,10)",
        "-2|(20,20)(30,20)(20,30)|(30,20)(30,30)(20,30)",
    }));
    EXPECT_EQ(g.HitSegment(2, 2), 0);
    EXPECT_EQ(g.HitSegment(5, 5), 0);  // on the edge
    EXPECT_EQ(g.HitSegment(8, 8), -1);
    EXPECT_EQ(g.HitSegment(25, 25), -1);  // where the hidden segment lies
}

TEST(SegmentGeometry, MalformedLinesAreOverlayFaults) {
    for (const char* bad : {"x|(0,0)(1,0)(0,1)", "2|(0,0)(1,0)(0,1)", "1|(0,0)(1,0)",
                            "1|(0,0)(1,0)(0,1) junk", "1"}) {
        EXPECT_FATAL(SegmentGeometry::Parse(Lines({bad})),
                     std::string("Illegal segment data.\n'") + bad + "'");
    }
}

// The shipped shapes: the dot, then the 14 segments a to n.
class ShippedGeometry : public ::testing::Test {
protected:
    SegmentGeometry g = SegmentGeometry::FromOverlay(MainOverlay());
};

TEST_F(ShippedGeometry, HasTheDotAndFourteenDrawableSegments) {
    ASSERT_EQ(g.Count(), 15);
    EXPECT_FALSE(g.At(0).drawable);
    EXPECT_EQ(g.BitOf(0), kSegmentDot);
    uint32_t drawable = 0;
    for (int i = 0; i < g.Count(); ++i) {
        if (g.At(i).drawable) drawable |= g.BitOf(i);
    }
    // All fourteen lit is what the character editor hands back: 16383.
    EXPECT_EQ(drawable, 16383u);
    EXPECT_EQ(drawable, kSegmentsAll);
}

TEST_F(ShippedGeometry, EverySegmentIsHitAtItsOwnCentre) {
    for (int i = 1; i < g.Count(); ++i) {
        for (const Triangle& t : g.At(i).triangles) {
            const double x = (t[0].x + t[1].x + t[2].x) / 3.0;
            const double y = (t[0].y + t[1].y + t[2].y) / 3.0;
            EXPECT_EQ(g.HitSegment(x, y), i) << "segment " << i;
        }
    }
}

TEST(CharacterSegments, TableAndUserCharacters) {
    const uint16_t a = 1u << 13, b = 1u << 12, c = 1u << 11, d = 1u << 10, e = 1u << 9, f = 1u << 8,
                   g = 1u << 7, h = 1u << 6;
    EXPECT_EQ(CharacterSegments('8'), a | b | c | d | e | f | g | h);
    EXPECT_EQ(CharacterSegments('L'), d | e | f);
    EXPECT_EQ(CharacterSegments(' '), 0);
    EXPECT_EQ(CharacterSegments(0x7F), kSegmentsAll);
    EXPECT_EQ(CharacterSegments(0x05), 0);
    // Letters, digits and signs all show something and never the dot.
    for (int code = 0x21; code <= 0x7E; ++code) {
        if (code == '.') continue;  // typed "." is the dot of the character before
        const uint16_t mask = CharacterSegments(static_cast<uint8_t>(code));
        EXPECT_NE(mask, 0) << static_cast<char>(code);
        EXPECT_EQ(mask & kSegmentDot, 0) << static_cast<char>(code);
    }
    // Upper and lower case differ where a display can tell them apart.
    EXPECT_NE(CharacterSegments('A'), CharacterSegments('a'));

    const std::vector<uint16_t> user = {0x0001, 0x4000 | 0x2000};
    EXPECT_EQ(CharacterSegments(0x10, user), 0x0001);
    EXPECT_EQ(CharacterSegments(0x11, user), 0x2000);  // a stored dot bit is not the character's
    EXPECT_EQ(CharacterSegments(0x12, user), 0);       // beyond the table given
    EXPECT_EQ(CharacterSegments(0x10), 0);

    EXPECT_EQ(DisplayByteSegments(0xC1), CharacterSegments('A') | kSegmentDot);
    EXPECT_EQ(DisplayByteSegments(0xA0), kSegmentDot);
    EXPECT_EQ(DisplayByteSegments(0x41), CharacterSegments('A'));
}

size_t TrianglesOf(const SegmentGeometry& g, uint16_t mask) {
    size_t n = 0;
    for (int i = 0; i < g.Count(); ++i) {
        if (mask & g.BitOf(i)) n += g.At(i).triangles.size();
    }
    return n;
}

TEST_F(ShippedGeometry, PaintsLitSegmentsInsideTheBoxAndStopsAtTheEnd) {
    test::RecordingCanvas canvas;
    const Rect box{10, 20, 210, 60};
    const std::vector<uint8_t> text = {'A', 0xB1, 0x80, 0x00, 'B'};  // "A1. ." then the end
    PaintDisplayText(canvas, box, text, g, {}, 0x000000);
    const size_t expected = TrianglesOf(g, CharacterSegments('A')) +
                            TrianglesOf(g, DisplayByteSegments(0xB1)) + TrianglesOf(g, kSegmentDot);
    EXPECT_EQ(canvas.polygons.size(), expected);
    for (const auto& p : canvas.polygons) {
        EXPECT_EQ(p.colour, 0x000000u);
        for (const Point& pt : p.points) {
            EXPECT_GE(pt.x, box.left);
            EXPECT_LE(pt.x, box.right);
            EXPECT_GE(pt.y, box.top);
            EXPECT_LE(pt.y, box.bottom);
        }
    }

    // With an unlit colour every segment of every character is painted.
    canvas.Clear();
    PaintDisplayText(canvas, box, std::vector<uint8_t>{'A', 'B'}, g, {}, 0x000000, 0xC0C0C0);
    EXPECT_EQ(canvas.polygons.size(), 2 * TrianglesOf(g, kSegmentsAll | kSegmentDot));
}

TEST_F(ShippedGeometry, PaintsUserCharactersFromTheirMasks) {
    test::RecordingCanvas canvas;
    const std::vector<uint16_t> user(16, 0x2000);  // only the top bar
    PaintDisplayText(canvas, {0, 0, 100, 40}, std::vector<uint8_t>{0x1F}, g, user, 0x000000);
    EXPECT_EQ(canvas.polygons.size(), g.At(1).triangles.size());
}

}  // namespace
}  // namespace parlo
