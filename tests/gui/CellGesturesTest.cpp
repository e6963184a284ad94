// The gestures a newcomer tries on a sheet, with real keys and clicks: a
// double click edits, a typed digit starts the editor with that digit, the
// bank layout page says what the sizes are, the row for adding a channel
// adds nothing until a frequency is committed, and the name editor shows how
// much of a name the display keeps.
#include <gtest/gtest.h>

#include <QLabel>

#include "gui/PickWindow.h"
#include "gui/TextEntryWindow.h"
#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "tests/gui/SheetUserFixture.h"

namespace parlo {
namespace {

constexpr const char* kPmrBank1 = "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0";
constexpr const char* kLmrBank1 = "[St_ChBank]GI_Sheet_Mch_LMR,Bank 0";
constexpr const char* kPmrBankLayout = "[St_Common]GI_Sheet_Mch_BankOp";

using CellGesturesTest = test::SheetUserFixture;

// The page's own hint says "Enter or a double click edits the current
// value": a double click opens the editor of a number and the list of a
// choice, and what is typed there is stored.
TEST_F(CellGesturesTest, ADoubleClickEditsTheValue) {
    Open(kVariantPmr, kPmrBank1);
    const EepromImage before = Image();
    QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {}, At({CT_Mch, CL_Mch_FreqR, 2}));
    QLineEdit* editor = InPlaceEditor();
    ASSERT_NE(editor, nullptr) << "no editor opened";
    EXPECT_EQ(editor->text().toStdString(), "446.031250");
    editor->setText("446.05625");
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    ChannelRecord r(Image());
    r.Decode(2, 2);
    EXPECT_EQ(r.Value(Field::RxFreq), 446'056'250);
    // Nothing else changed: the receive and transmit frequency moved together.
    EepromImage expected = before;
    ChannelRecord e(expected);
    e.Decode(2, 2);
    e.SetValue(Field::RxFreq, 446'056'250);
    e.SetValue(Field::TxFreq, 446'056'250);
    e.Store();
    EXPECT_TRUE(test::SamePackedImage(Image(), expected, kVariantPmr));

    // A choice opens its list at the current item.
    QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {}, At({CT_Mch, CL_Mch_RfPo, 2}));
    auto* list = Popup<qt::PickWindow>();
    ASSERT_NE(list, nullptr) << "no list opened";
    list->Cancel();
    Settle();
}

// Bank layout page: a digit typed on "Channel slots" starts the editor with
// that digit, Enter stores it, and the layout line then says how the slots
// are laid out instead of naming the factory layout it no longer is.
TEST_F(CellGesturesTest, TheBankLayoutTakesATypedSizeAndSaysWhatItIs) {
    Open(kVariantPmr, kPmrBankLayout);
    const EepromImage before = Image();
    EXPECT_EQ(CellText({CT_Null, CL_Bank_SelBankFree, 0}), "One bank of 64 channels");
    ClickAndType({CT_Null, CL_Mch_Bank, 0}, "8");
    QLineEdit* editor = InPlaceEditor();
    ASSERT_NE(editor, nullptr) << "no editor opened";
    EXPECT_EQ(editor->text().toStdString(), "8");
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    EXPECT_EQ(BankSize(Image(), 0), 8);
    // The 56 empty slots at the end of bank 1 left it; nothing else moved.
    EepromImage expected = before;
    for (int k = 0; k < 56; ++k)
        test::DeleteSlot(expected, 8, window->Controller().Doc().Defaults());
    test::SetBankSizes(expected, {8, 0, 0, 0, 0});
    EXPECT_TRUE(test::SamePackedImage(Image(), expected, kVariantPmr));

    const std::string layout = CellText({CT_Null, CL_Bank_SelBankFree, 0});
    EXPECT_NE(layout, "One bank of 64 channels");
    EXPECT_NE(layout, "Banks of 4 channels");
    EXPECT_NE(layout.find("8"), std::string::npos) << layout;

    // Either layout can be chosen again from the list.
    QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {},
                       At({CT_Null, CL_Bank_SelBankFree, 0}));
    auto* list = Popup<qt::PickWindow>();
    ASSERT_NE(list, nullptr);
    Sheet& items = *list->PickSheet();
    QPoint item;
    for (int r = 0; r < items.RowCount(); ++r) {
        for (int c = 0; c < items.ColCount(); ++c) {
            if (items.CellText(c, r) == "One bank of 64 channels")
                item = list->View()->CellRect(c, r).center();
        }
    }
    QTest::mouseClick(list->View()->viewport(), Qt::LeftButton, {}, item);
    Settle();
    EXPECT_EQ(BankSize(Image(), 0), 64);
    EXPECT_EQ(CellText({CT_Null, CL_Bank_SelBankFree, 0}), "One bank of 64 channels");
}

// The row marked New adds a channel only for a frequency committed there:
// a digit then Escape, or a text that is no frequency, leaves the document
// as it was; a frequency adds an inhibited channel.
TEST_F(CellGesturesTest, TheNewRowAddsNothingUntilAFrequencyIsCommitted) {
    Open(kVariantLmr, kLmrBank1);
    ResetBankLayout(Image(), true);  // banks of 4 and 4: slots are free
    window->Controller().Doc().RebuildModelData();
    Select("[St_Common]GI_Sheet_Comm");
    Select(kLmrBank1);
    const CellAddress newRow{CT_Mch, CL_Mch_FreqR, 4};
    const int rows = Current().RowCount();
    const EepromImage before = Image();
    struct Case {
        const char* typed;
        Qt::Key end;
    } cases[] = {{"1", Qt::Key_Escape}, {".", Qt::Key_Return}, {"4", Qt::Key_Up}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ClickAndType(newRow, c.typed);
        QLineEdit* editor = InPlaceEditor();
        ASSERT_NE(editor, nullptr) << "no editor opened";
        if (c.end == Qt::Key_Up) editor->setText("not a frequency");
        QTest::keyClick(editor, c.end);
        Settle();
        EXPECT_TRUE(test::SameImage(Image(), before));
        EXPECT_EQ(BankSize(Image(), 0), 4);
        EXPECT_EQ(Current().RowCount(), rows);
    }
    EXPECT_FALSE(window->windowTitle().startsWith("*"));

    ClickAndType(newRow, "1");
    ASSERT_NE(InPlaceEditor(), nullptr);
    QTest::keyClicks(InPlaceEditor(), "45.5");
    QTest::keyClick(InPlaceEditor(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(BankSize(Image(), 0), 5);
    EXPECT_EQ(Current().RowCount(), rows + 1);
    EXPECT_EQ(CellText({CT_Mch, CL_Mch_Inh, 4}), "Inhibited");
    EXPECT_EQ(CellText({CT_Mch, CL_Mch_FreqR, 4}), "145.500000");
    // One step: undone, the document is as it was.
    QTest::keyClick(&Grid(), Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_TRUE(test::SameImage(Image(), before));
}

// The name editor says how many characters the display keeps, and marks
// those past its end: they are not stored.
TEST_F(CellGesturesTest, TheNameEditorShowsWhatTheDisplayKeeps) {
    Open(kVariantPmr, kPmrBank1);
    ClickAndType({CT_Mch, CL_Mch_Text, 0}, "A");
    auto* entry = Popup<qt::TextEntryWindow>();
    ASSERT_NE(entry, nullptr);
    QLabel* length = entry->LengthNote();
    ASSERT_NE(length, nullptr);
    EXPECT_TRUE(length->isVisible());
    EXPECT_EQ(length->text().toStdString(), "1 of 8 characters");
    EXPECT_EQ(entry->KeptPositions(), 8);

    QTest::keyClicks(entry->TextBox(), "BC.DEFGHIJK");
    EXPECT_EQ(entry->PreviewBytes().size(), 11u);  // the dot lights after C
    EXPECT_EQ(length->text().toStdString(), "11 of 8 characters: \"IJK\" will not be kept");
    QTest::keyClick(entry->TextBox(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(CellText({CT_Mch, CL_Mch_Text, 0}), "ABC.DEFGH");
}

}  // namespace
}  // namespace parlo
