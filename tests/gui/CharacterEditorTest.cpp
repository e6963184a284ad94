// The character editor maps clicks to the overlay's segment shapes.
#include <gtest/gtest.h>

#include <QTest>

#include "gui/CharacterEditor.h"
#include "overlay/OverlayText.h"

namespace parlo {
namespace {

TEST(CharacterEditor, ClickingASegmentTogglesItsBit) {
    qt::CharacterEditor editor(nullptr, 0);
    const SegmentGeometry geometry = SegmentGeometry::FromOverlay(MainOverlay());
    int toggled = 0;
    for (int i = 0; i < geometry.Count(); ++i) {
        const Segment& s = geometry.At(i);
        if (!s.drawable || s.triangles.empty()) continue;
        const Triangle& t = s.triangles.front();
        const double cx = (t[0].x + t[1].x + t[2].x) / 3.0, cy = (t[0].y + t[1].y + t[2].y) / 3.0;
        // The centre of a triangle of segment i hits segment i, or an earlier
        // drawable segment overlapping it.
        if (geometry.HitSegment(cx, cy) != i) continue;
        const QPoint at = editor.ToArea(cx, cy).toPoint();
        const uint32_t before = editor.Mask();
        QTest::mouseClick(&editor, Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(editor.Mask(), before ^ geometry.BitOf(i)) << i;
        ++toggled;
    }
    EXPECT_GE(toggled, 14);
    QTest::mouseClick(&editor, Qt::LeftButton, Qt::NoModifier,
                      QPoint(2, 2));  // outside every segment
    EXPECT_EQ(editor.Mask(), 0x3FFFu);
}

}  // namespace
}  // namespace parlo
