// Undo and redo in the desktop program's controller: every kind of change
// of the working image is a step; undoing them all brings the first image
// back byte for byte and redoing them all the last; the Edit menu names the
// steps; the cursor goes to the cell that changed; the modified mark
// follows; a new document starts a new history.
#include <gtest/gtest.h>

#include <functional>

#include "clone/CloneFileOps.h"
#include "tests/support/ControllerHarness.h"
#include "tests/support/ExpectedImage.h"
#include "tests/support/ScriptedSerial.h"
#include "tools/radio-sim/RadioSim.h"

namespace parlo {
namespace {

using test::SameImage;

class UndoTest : public test::ControllerHarness {
protected:
    size_t Steps() { return main->Edits().UndoSteps(); }
    ItemState Undo() { return main->CommandState(CL_Menu_Edit_Undo, 0); }
    ItemState Redo() { return main->CommandState(CL_Menu_Edit_Redo, 0); }
    // A list item other than the one the cell shows.
    void PickAnother(int category, int cell, int32_t index, Field field) {
        Cursor(category, cell, index);
        Pick(Channel(index).Value(field) == 0 ? 1 : 0);
    }
    struct Step {
        const char* name;
        std::function<void()> act;
    };
    // One change of each kind, named as the Edit menu names its step.
    std::vector<Step> EveryKindOfStep() {
        const std::string bankOp = "[St_Common]GI_Sheet_Mch_BankOp";
        return {
            {"Edit Receive",
             [=, this] {
                 ShowBank(0);
                 Cursor(2);
                 Type("446.05625");
             }},
            {"Edit Power", [=, this] { PickAnother(CT_Mch, CL_Mch_RfPo, 1, Field::RfPower); }},
            {"Delete 3 channels",
             [=, this] {
                 Cursor(4);
                 SelectTo(6);
                 Choose(CL_PMenu_Delete);
             }},
            {"Insert 1 channel",
             [=, this] {
                 Cursor(1);
                 Choose(CL_PMenu_Insert);
             }},
            {"Paste 1 channel",
             [=, this] {
                 Cursor(0);
                 Choose(CL_PMenu_Copy);
                 Cursor(1);
                 Choose(CL_PMenu_Paste);
             }},
            {"Move down 1 channel",
             [=, this] {
                 Cursor(0);
                 Choose(CL_PMenu_CarryDown);
             }},
            {"Clear 1 channel",
             [=, this] {
                 Cursor(3);
                 Choose(CL_PMenu_Clear);
             }},
            {"Edit Channel slots",
             [=, this] {
                 Show(bankOp);
                 Cursor(CT_Null, CL_Mch_Bank, 0);
                 Type("20");
             }},
            {"Edit Bank layout",
             [=, this] {
                 Cursor(CT_Null, CL_Bank_SelBankFree, 0);
                 Pick(1);
             }},
            {"Edit Character",
             [=, this] {
                 Show("[St_Common]GI_Sheet_CEdit");
                 Cursor(CT_CEdit, CL_CEdit, 2);
                 Pick(0x1234, PopupKind::CharacterEditor);
             }},
            {"Model change", [=, this] { main->ChangeModel(kVariantTarnPmr, false); }},
        };
    }
};

TEST_F(UndoTest, EveryKindOfChangeIsAStepAndUndoingAllRestoresTheImage) {
    StartWith(kVariantPmr);
    prompts.answer = MsgAnswer::Ok;
    const EepromImage start = Image();
    const std::vector<Step> steps = EveryKindOfStep();
    size_t taken = 0;
    for (const Step& step : steps) {
        step.act();
        ASSERT_EQ(Steps(), ++taken) << step.name;
        EXPECT_EQ(Undo().caption, std::string("&Undo ") + step.name);
        EXPECT_FALSE(Undo().disabled);
        EXPECT_TRUE(Redo().disabled);
    }
    const EepromImage end = Image();

    for (size_t i = 0; i < taken; ++i) main->Undo();
    EXPECT_TRUE(SameImage(Image(), start));
    EXPECT_EQ(main->Doc().Variant(), kVariantPmr);
    EXPECT_TRUE(Undo().disabled);
    EXPECT_EQ(Undo().caption, "&Undo");
    EXPECT_EQ(Redo().caption, "&Redo Edit Receive");
    EXPECT_FALSE(main->Doc().IsModified());

    for (size_t i = 0; i < taken; ++i) main->Redo();
    EXPECT_TRUE(SameImage(Image(), end));
    EXPECT_EQ(main->Doc().Variant(), kVariantTarnPmr);
    EXPECT_TRUE(Redo().disabled);
    EXPECT_EQ(Undo().caption, "&Undo Model change");
    EXPECT_TRUE(main->Doc().IsModified());
}

// The first key in the row for adding a channel adds it; the frequency the
// editor then commits belongs to the same step.
TEST_F(UndoTest, ANewChannelIsOneStep) {
    StartWith(kVariantPmr);
    Show("[St_Common]GI_Sheet_Mch_BankOp");
    Cursor(CT_Null, CL_Mch_Bank, 0);
    Type("8");
    const EepromImage eight = Image();
    ShowBank(0);
    Cursor(8);
    Type("446.1");
    EXPECT_EQ(Steps(), 2u);
    EXPECT_EQ(Undo().caption, "&Undo Edit Receive");
    EXPECT_TRUE(Channel(8).present);
    main->Undo();
    EXPECT_TRUE(SameImage(Image(), eight));
    EXPECT_EQ(Undo().caption, "&Undo Edit Channel slots");
}

TEST_F(UndoTest, TheCursorGoesToTheCellThatChanged) {
    StartWith(kVariantPmr);
    const std::string bank = "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0";
    ShowBank(0);
    Cursor(5);
    Type("446.10625");
    Show("[St_Common]GI_Sheet_Comm");
    main->Undo();
    EXPECT_EQ(main->SheetAction(), bank);
    EXPECT_EQ(Current().CurrentAddress(), (CellAddress{CT_Mch, CL_Mch_FreqR, 5}));
    EXPECT_EQ(Channel(5).Value(Field::RxFreq), 446'068'750);
    Cursor(0);
    main->Redo();
    EXPECT_EQ(Current().CurrentAddress(), (CellAddress{CT_Mch, CL_Mch_FreqR, 5}));
    EXPECT_EQ(Channel(5).Value(Field::RxFreq), 446'106'250);
}

TEST_F(UndoTest, UndoingBackToTheSavedImageClearsTheModifiedMark) {
    StartWith(kVariantPmr);
    ASSERT_TRUE(main->Save(dir.file("fleet.icf")));
    ShowBank(0);
    Cursor(2);
    Type("446.05625");
    EXPECT_EQ(view.title.rfind("*fleet.icf", 0), 0u);
    main->Undo();
    EXPECT_FALSE(main->Doc().IsModified());
    EXPECT_EQ(view.title.rfind("fleet.icf", 0), 0u);
    main->Redo();
    EXPECT_TRUE(main->Doc().IsModified());
    EXPECT_EQ(view.title.rfind("*fleet.icf", 0), 0u);
}

TEST_F(UndoTest, KeepsTheLastHundredSteps) {
    StartWith(kVariantPmr);
    ShowBank(0);
    Cursor(0);
    const char* const frequencies[] = {"446.01875", "446.03125"};
    EepromImage fifth;
    for (int i = 0; i < 105; ++i) {
        Type(frequencies[i % 2]);
        if (i == 4) fifth = Image();
    }
    EXPECT_EQ(Steps(), 100u);
    for (int i = 0; i < 100; ++i) main->Undo();
    EXPECT_TRUE(SameImage(Image(), fifth));
    EXPECT_TRUE(Undo().disabled);
}

// New, Open, a model change that starts a new document and a clone read.
TEST_F(UndoTest, ANewDocumentStartsANewHistory) {
    const std::string path = dir.file("saved.icf");
    sim::RadioConfig config;
    std::unique_ptr<sim::Radio> radio;
    auto script = std::make_shared<test::SerialScript>();
    StartWith(kVariantLmr);
    config.image.Assign(Image());
    radio = std::make_unique<sim::Radio>(std::move(config));
    script->radio = radio.get();
    StartWith(kVariantLmr,
              std::make_unique<CloneManager>(std::make_unique<test::ScriptedSerial>(script)));
    ASSERT_TRUE(main->Save(path));
    prompts.answer = MsgAnswer::No;  // no saving of changes
    const std::function<void()> fresh[] = {
        [&] { main->New(); },
        [&] { main->Open(path); },
        [&] {
            prompts.answer = MsgAnswer::Ok;
            main->ChangeModel(kVariantPmr, true);
            prompts.answer = MsgAnswer::No;
        },
        [&] {
            main->CloneRead();
            for (int t = 0; t < 400000 && main->Cloning().IsBusy(); t += 10) clock.Advance(10);
        },
    };
    int n = 0;
    for (const auto& start : fresh) {
        ShowBank(0);
        Cursor(2);
        Type("446.05625");
        ASSERT_FALSE(Undo().disabled) << n;
        start();
        EXPECT_TRUE(Undo().disabled) << n;
        EXPECT_TRUE(Redo().disabled) << n;
        ++n;
    }
}

}  // namespace
}  // namespace parlo
