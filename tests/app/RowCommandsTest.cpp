// The row commands as the user gives them: chosen from the popup menu of a
// cell of the sheet on screen (a bank's channels above all), through the
// controller, on the factory images. Every command that changes the image
// is checked against the whole image.
#include <gtest/gtest.h>

#include <algorithm>

#include "clone/CloneFileOps.h"
#include "model/BankMap.h"
#include "platform/SystemClipboard.h"
#include "tests/support/ControllerHarness.h"
#include "tests/support/ExpectedImage.h"
#include "tests/support/Process.h"

namespace parlo {
namespace {

using test::SamePackedImage;

class RowCommandsTest : public test::ControllerHarness {
protected:
    // Bank sizes as a file may hold them, packed as after a load.
    void Banks(std::initializer_list<int> sizes) {
        test::SetBankSizes(Image(), sizes);
        main->Doc().RebuildModelData();
    }
    int Variant() { return main->Doc().Variant(); }
};

// dPMR446, bank 1 holds slots 0..7; its "New" row is slot 8, the first
// channel of bank 2.
TEST_F(RowCommandsTest, OnTheNewRowDeleteClearAndMoveDoNothing) {
    StartWith(kVariantDPmr446);
    ShowBank(0);
    Cursor(8);
    const EepromImage before = Image();
    for (int command : {CL_PMenu_Delete, CL_PMenu_Clear, CL_PMenu_CarryUp, CL_PMenu_CarryDown}) {
        Choose(command);
        EXPECT_TRUE(test::SameImage(Image(), before)) << command;
    }
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(view.statuses, std::vector<std::string>(view.statuses.size(), ""));
    EXPECT_EQ(Name(8), "DPMR 1");
    EXPECT_EQ(BankSize(Image(), 1), 16);
}

TEST_F(RowCommandsTest, InsertOnTheNewRowAddsABlankChannelToTheBankOnScreen) {
    StartWith(kVariantDPmr446);
    Sheet& sheet = ShowBank(0);
    Cursor(2);
    EepromImage expected = Image();
    Choose(CL_PMenu_Delete);  // "PMR 3": bank 1 keeps 7 channels
    ASSERT_FALSE(view.statuses.empty());
    EXPECT_EQ(view.statuses.back(), "Rows deleted.");  // the cursor it moves keeps it
    test::DeleteSlot(expected, 2, Defaults());
    test::SetBankSizes(expected, {7, 16, 20, 20, 0});
    ASSERT_TRUE(SamePackedImage(Image(), expected, kVariantDPmr446));

    const int rows = sheet.RowCount();
    Cursor(7);  // the "New" row
    view.statuses.clear();
    Choose(CL_PMenu_Insert);
    test::InsertSlot(expected, 7, Defaults());
    test::SetBankSizes(expected, {8, 16, 20, 20, 0});
    EXPECT_TRUE(SamePackedImage(Image(), expected, kVariantDPmr446));
    EXPECT_FALSE(Channel(7).present);
    EXPECT_EQ(Name(8), "DPMR 1");
    EXPECT_EQ(sheet.RowCount(), rows + 1);
    EXPECT_TRUE(Shown("Empty row inserted."));
}

TEST_F(RowCommandsTest, InsertOnTheNewRowOfAnEmptyBank) {
    StartWith(kVariantPmr);
    Banks({4, 4, 0, 0, 0});
    Sheet& sheet = ShowBank(2);
    const int rows = sheet.RowCount();
    Cursor(8);
    EepromImage expected = Image();
    Choose(CL_PMenu_Insert);
    test::InsertSlot(expected, 8, Defaults());
    test::SetBankSizes(expected, {4, 4, 1, 0, 0});
    EXPECT_TRUE(SamePackedImage(Image(), expected, kVariantPmr));
    EXPECT_EQ(sheet.RowCount(), rows + 1);  // one channel, then the "New" row
    EXPECT_TRUE(Shown("Empty row inserted."));
}

// All 64 slots are in banks: the overflow message, and nothing else.
TEST_F(RowCommandsTest, InsertWithoutRoomShowsOnlyTheOverflow) {
    StartWith(kVariantPmr);
    const EepromImage before = Image();
    struct Case {
        int bank, slot;
    };
    for (const Case c : {Case{0, 3}, Case{1, 64}}) {  // a channel; the empty bank's "New" row
        prompts.shown.clear();
        ShowBank(c.bank);
        Cursor(c.slot);
        const int rows = Current().RowCount();
        Choose(CL_PMenu_Insert);
        ASSERT_EQ(prompts.shown.size(), 1u) << c.slot;
        EXPECT_EQ(prompts.shown[0].text.rfind("No room for more channels", 0), 0u);
        EXPECT_TRUE(test::SameImage(Image(), before));
        EXPECT_FALSE(Shown("Empty row inserted."));
        EXPECT_EQ(Current().RowCount(), rows);
    }
}

// Insert, Clear, bank growth and the new-channel row each leave a blank
// channel, which the channel list does not show; the typed channel shows
// with its frequency only.
TEST_F(RowCommandsTest, BlankChannelsHaveNoFrequencyAndNoName) {
    StartWith(kVariantPmr);
    Banks({8, 0, 0, 0, 0});
    EepromImage expected = Image();
    ShowBank(0);
    Cursor(3);
    Choose(CL_PMenu_Insert);
    test::InsertSlot(expected, 3, Defaults());
    test::SetBankSizes(expected, {9, 0, 0, 0, 0});
    ASSERT_TRUE(SamePackedImage(Image(), expected, kVariantPmr)) << "insert";

    Cursor(1);
    Choose(CL_PMenu_Clear);
    test::BlankSlot(expected, 1, Defaults());
    ASSERT_TRUE(SamePackedImage(Image(), expected, kVariantPmr)) << "clear";

    Show("[St_Common]GI_Sheet_Mch_BankOp");
    Cursor(CT_Null, CL_Mch_Bank, 0);
    Type("12");
    for (int slot = 9; slot < 12; ++slot) test::InsertSlot(expected, slot, Defaults());
    test::SetBankSizes(expected, {12, 0, 0, 0, 0});
    ASSERT_TRUE(SamePackedImage(Image(), expected, kVariantPmr)) << "bank growth";

    ShowBank(0);
    Cursor(12);
    Type("446.1");
    test::InsertSlot(expected, 12, Defaults());
    test::SetBankSizes(expected, {13, 0, 0, 0, 0});
    // 446,100,000 Hz = 0x1A96F220, receive and transmit; a new channel is
    // inhibited (bit 7 of byte 0).
    const uint8_t frequencies[8] = {0x9A, 0x96, 0xF2, 0x20, 0x1A, 0x96, 0xF2, 0x20};
    for (int32_t i = 0; i < 8; ++i)
        expected.SetByte(test::MainRecord(12) + i,
                         static_cast<uint8_t>(frequencies[i] |
                                              (expected.GetByte(test::MainRecord(12) + i) & 0x80)));
    ASSERT_TRUE(SamePackedImage(Image(), expected, kVariantPmr)) << "new channel";

    const std::string path = dir.file("blank.icf");
    ASSERT_TRUE(main->Save(path));
    const auto listed = test::RunCli({"channels", path});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "1-  1  446.006250  446.006250  off        off        PMR 1      AB\n"
              "1-  3  446.031250  446.031250  off        off        PMR 3\n"
              "1-  5  446.043750  446.043750  off        off        PMR 4\n"
              "1-  6  446.056250  446.056250  off        off        PMR 5\n"
              "1-  7  446.068750  446.068750  off        off        PMR 6\n"
              "1-  8  446.081250  446.081250  off        off        PMR 7\n"
              "1-  9  446.093750  446.093750  off        off        PMR 8\n"
              "1- 13  446.100000  446.100000  off        off\n");
}

TEST_F(RowCommandsTest, CopyingChangesNothing) {
    StartWith(kVariantPmr);
    const std::string path = dir.file("saved.icf");
    ASSERT_TRUE(main->Save(path));
    const EepromImage saved = Image();
    ShowBank(0);
    Cursor(1);
    Cursor(4);
    SelectTo(6);
    Choose(CL_PMenu_Copy);
    EXPECT_TRUE(Shown("Rows copied. Choose Paste where they should go."));
    EXPECT_TRUE(test::SameImage(Image(), saved));
    EXPECT_FALSE(main->Doc().IsModified());
    EXPECT_EQ(view.title, "saved.icf - Parlo MV7105C");
}

// The user characters are a table of their own: deleting or inserting one
// moves the others and leaves every channel where it is.
TEST_F(RowCommandsTest, UserCharacterRowsMoveUserCharactersOnly) {
    StartWith(kVariantPmr);
    for (int n = 0; n < 16; ++n) Image().SetWord(0x95FD + 2 * n, static_cast<uint16_t>(0x1100 + n));
    main->Doc().RebuildModelData();
    Show("[St_Common]GI_Sheet_CEdit");
    Cursor(CT_CEdit, CL_CEdit, 3);
    EepromImage expected = Image();
    Choose(CL_PMenu_Delete);
    for (int n = 3; n < 15; ++n)
        expected.SetWord(0x95FD + 2 * n, static_cast<uint16_t>(0x1101 + n));
    expected.SetWord(0x95FD + 30, Defaults().GetWord(0x95FD + 30));
    EXPECT_TRUE(SamePackedImage(Image(), expected, kVariantPmr)) << "delete";

    Cursor(CT_CEdit, CL_CEdit, 5);
    Choose(CL_PMenu_Insert);
    for (int n = 15; n > 5; --n)
        expected.SetWord(0x95FD + 2 * n, expected.GetWord(0x95FD + 2 * n - 2));
    expected.SetWord(0x95FD + 10, Defaults().GetWord(0x95FD + 10));
    EXPECT_TRUE(SamePackedImage(Image(), expected, kVariantPmr)) << "insert";
    EXPECT_EQ(BankSize(Image(), 0), 64);
}

// Copy also puts the rows' texts on the desktop's clipboard; text from
// another program is typed into the cells as one step, or not at all.
TEST_F(RowCommandsTest, TextOnTheClipboardIsTypedIntoTheCellsOrRefusedWhole) {
    ProcessClipboard clipboard;
    StartWith(kVariantPmr);
    main->SetSystemClipboard(&clipboard);
    ShowBank(0);
    Cursor(1);
    SelectTo(2);
    Choose(CL_PMenu_Copy);
    const std::string copied = clipboard.Text();
    ASSERT_EQ(std::count(copied.begin(), copied.end(), '\n'), 2) << copied;
    EXPECT_NE(copied.find("\t446.018750\t"), std::string::npos) << copied;
    EXPECT_NE(copied.find("PMR 3"), std::string::npos) << copied;

    // From a spreadsheet: receive and transmit frequency of slots 4 and 5.
    const EepromImage start = Image();
    clipboard.SetText("446.031250\t446.043750\n446.056250\t<-\n");
    Cursor(4);
    Choose(CL_PMenu_Paste);
    EXPECT_TRUE(prompts.shown.empty());
    const EepromImage pasted = Image();
    EXPECT_EQ(Channel(4).Value(Field::RxFreq), 446'031'250);
    EXPECT_EQ(Channel(4).Value(Field::TxFreq), 446'043'750);
    EXPECT_EQ(Channel(5).Value(Field::RxFreq), 446'056'250);
    EXPECT_EQ(Channel(5).Value(Field::TxFreq), 446'056'250);
    main->Undo();  // one step takes the whole paste back
    Settle();
    EXPECT_TRUE(test::SameImage(Image(), start));
    // The same values typed by hand give the same image.
    Cursor(4);
    Type("446.031250");
    Current().SelectSlot(Current().Col() + 1, Current().Row());
    Type("446.043750");
    Cursor(5);
    Type("446.056250");
    EXPECT_TRUE(SamePackedImage(Image(), pasted, kVariantPmr));

    // One refused value, and nothing is pasted.
    main->Undo();
    main->Undo();
    main->Undo();
    Settle();
    ASSERT_TRUE(test::SameImage(Image(), start));
    clipboard.SetText("446.031250\t446.043750\n446.056250\tnot a frequency\n");
    Cursor(4);
    Choose(CL_PMenu_Paste);
    EXPECT_TRUE(test::SameImage(Image(), start));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("'not a frequency' (line 2) was not accepted"),
              std::string::npos)
        << prompts.shown[0].text;
}

}  // namespace
}  // namespace parlo
