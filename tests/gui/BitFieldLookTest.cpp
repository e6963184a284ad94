// The bit-field editor as it looks: every bit a box to aim at, set or not.
#include <QApplication>
#include <QImage>
#include <QTest>

#include "gui/BitFieldEditor.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

class BitFieldLookTest : public test::MainWindowFixture {};

// The dark pixels inside a cell, its grid lines and bottom rule left out.
QRect InkIn(const QImage& image, const QRect& cell) {
    QRect ink;
    const QRgb background = image.pixel(cell.left() + 1, cell.top() + 1);
    for (int y = cell.top() + 1; y < cell.bottom() - 1; ++y) {
        for (int x = cell.left() + 1; x < cell.right() - 1; ++x) {
            if (std::abs(qGray(image.pixel(x, y)) - qGray(background)) > 80)
                ink = ink.united(QRect(x, y, 1, 1));
        }
    }
    return ink;
}

TEST_F(BitFieldLookTest, EveryBitHasABoxSetOrNot) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    qt::SheetWidget* grid = window->Sheets();
    ASSERT_TRUE(grid->CurrentSheet()->SelectCell({CT_Mch, CL_Mch_Scan, 0}));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    auto* editor = qobject_cast<qt::BitFieldEditor*>(QApplication::activePopupWidget());
    ASSERT_NE(editor, nullptr);
    qt::SheetWidget* view = editor->View();
    Sheet* bits = view->CurrentSheet();
    // One bit set and one not, neither of them the current cell.
    QTest::keyClick(view, Qt::Key_Right);
    if (!(editor->Value() >> 24 & 1)) QTest::keyClick(view, Qt::Key_Space);  // item 2 set
    QTest::keyClick(view, Qt::Key_Right);
    const int current = bits->Col();
    const QImage image = view->viewport()->grab().toImage();
    int set = 0, unset = 0;
    for (int c = 0; c < bits->ColCount(); ++c) {
        const CellDesc& cell = bits->Cell(c, bits->Row());
        if (cell.cell != CL_FBits || c == current) continue;
        const QRect rect = view->CellRect(c, bits->Row());
        const QRect ink = InkIn(image, rect);
        const bool on = editor->Value() >> (26 - cell.index) & 1;
        SCOPED_TRACE("item " + std::to_string(cell.index) + (on ? " set" : " not set"));
        ++(on ? set : unset);
        // A square outline in the middle of the cell, more than half its width.
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_LE(std::abs(ink.width() - ink.height()), 1);
        EXPECT_GT(ink.width(), rect.width() / 2);
        for (int x = ink.left(); x <= ink.right(); ++x)
            EXPECT_LT(qGray(image.pixel(x, ink.top())), 128) << x;
    }
    EXPECT_GE(set, 1);
    EXPECT_GE(unset, 1);
    QTest::keyClick(view, Qt::Key_Escape);
}

}  // namespace
}  // namespace parlo
