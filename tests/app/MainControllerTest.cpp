// The main controller: document commands, variants, hidden modes, the tree's
// variable branches, the warning check and the row commands.
#include <gtest/gtest.h>

#include "app/MainController.h"
#include "clone/CloneFileOps.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/RecordingMainView.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo {
namespace {

const char* const kOverlayLines[] = {
    "#GI_Sys_AppTitle",
    "Parlo",
    "#GI_App_InitialFile",
    "MV7105C_LMR.icf",
    "MV7105C_PMR.icf",
    "MV7105C_PMRT.icf",
    "MV7105C_DPMR446.icf",
    "#",
    "#GI_Sys_LockoutNewerData",
    "1",
    "#GI_Sys_Dialog_FOpen",
    "icf",
    "Clone files (*.icf)",
    "#",
    "#GI_Sys_MyHelpFile",
    "help.html",
    "#GI_Mess_Confirm_WriteFile",
    "Save the changes to %s?",
    "#",
    "#GI_Mess_Confirm_WriteAnother",
    "Save the changes under another name?",
    "#",
    "#GI_AppMess_ChangeModel",
    "Change the model?",
    "#",
    "#GI_Mess_Maker_Caution",
    "Maker mode!",
    "#",
    "#GI_Mess_Extended_Caution",
    "Extended mode!",
    "#",
    "#GI_StatusPanel_Maker",
    "MAKER",
    "#GI_AppMess_Conv_Overwrite",
    "Overwrite?",
    "#",
    "#GI_AppMess_Conv_Clear",
    "Clear?",
    "#",
    "#GI_AppMess_Conv_Delete",
    "Delete?",
    "#",
    "#GI_AppMess_ChErr_DelPrio",
    "Priority channel",
    "#",
    "#GI_AppMess_ChErr_Overflow",
    "Full",
    "#GI_AppMess_ChErr_MakeRoom",
    "%d empty: %s",
    "Make room",
    "All used",
    "%d in bank %d",
    ", %d in bank %d",
    "#",
    "#GI_AppMess_S_Copy",
    "Copied",
    "#GI_AppMess_S_Paste",
    "Pasted",
    "#GI_AppMess_S_Clear",
    "Cleared",
    "#GI_AppMess_S_Delete",
    "Deleted",
    "#GI_AppMess_S_Insert",
    "Inserted",
    "#GI_AppInd_BankCaption",
    "Bank %d %s",
    "#GI_AppInd_Model",
    " (LMR)",
    " (PMR)",
    " (PMR Tarn)",
    " (dPMR446)",
    "#",
    "#GI_WarningCheckList",
    "#",
    "#CellModel_Basic",
    "(Color=clWindow)",
    "#GI_Tree_Main_BasicCell",
    "{($Basic)}",
    "#GI_Tree_Main_Body",
    "+Radio",
    " +{(%CallSheet:[St_Common]GI_Sheet_Memory_CH_Top)}Memory channels",
    " +{(Flag0=1)(%CallSheet:[St_Common]GI_Sheet_Maker)}Adjustment",
    "#",
    "#GI_Tree_Branch_Mch_BankOperation",
    "+{(%CallSheet:[St_Common]GI_Sheet_BankOp)}Banks",
    "#",
    "#GI_Tree_Branch_Mch_Bank",
    "+{(%%CL_Check_Mch:[St_ChBank]GI_Sheet_Mch_%s,Bank %d)}Bank",
    "#",
    "#GI_Mess_FileErr_Headline",
    "Bad file",
    "#GI_Status_Command",
    "New %s",
    "Opened %s",
    "Saved %s",
    "Read %s",
    "Wrote %s",
    "Information %s",
    "Read failed %s",
    "Write failed %s",
    "Information failed %s",
    "#",
    "#GI_Status_Port",
    "Port %s, %d",
    "#GI_AppInd_Menu_PortDevice",
    "COM&%d  (%s)",
};

std::vector<std::string> Overlay() {
    std::vector<std::string> lines(std::begin(kOverlayLines), std::end(kOverlayLines));
    for (const char* key : {"FileOpen", "FileAccess", "Model", "Extra", "MapRev", "Format",
                            "Coverage", "Data", "Newer"}) {
        lines.push_back(std::string("#GI_Mess_FileErr_") + key);
        lines.push_back(key);
    }
    lines.push_back("#End_Of_Ovl");
    return lines;
}

class MainControllerTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{Overlay()};
    test::VirtualScheduler clock;  // the controller's bus runs on it
    test::RecordingPrompts prompts;
    test::TempDir dir;
    test::MemorySettings store;
    FixedScreen screen;
    AppSettings env{store, screen, nullptr};
    test::RecordingMainView view;
    std::unique_ptr<MainController> main;

    void StartWith(int variant) {
        env.Defaults();
        env.SetModelType(static_cast<int8_t>(variant));
        main.reset();
        main = std::make_unique<MainController>(env, view);
        main->Start();
    }
    size_t BankNodes() {
        size_t n = 0;
        main->Tree()->ForEach([&](TreeNode& node) { n += RadioTree::BankOfNode(node) >= 0; });
        return n;
    }
    void Modify() {
        main->Doc().Working().SetByte(
            0x9600, static_cast<uint8_t>(main->Doc().Working().GetByte(0x9600) + 1));
    }
    ChannelRecord Channel(int slot) {
        ChannelRecord r(main->Doc().Working());
        r.Decode(ChannelKindOf(main->Doc().Variant()), slot);
        return r;
    }
    void PutChannel(int slot, uint32_t hz) {
        ChannelRecord r = Channel(slot);
        r.present = true;
        r.SetValue(Field::RxFreq, static_cast<int32_t>(hz));
        r.SetValue(Field::TxFreq, static_cast<int32_t>(hz));
        r.Store();
    }
    // Runs a row command with the cursor on `slot` and rows first..last selected.
    CellContext Row(RowCommand command, int slot, int first = -1, int last = -1, int a = 0,
                    int b = 63) {
        static CellDesc d;
        d.category = CT_Mch;
        d.cell = CL_Mch_FreqR;
        d.index = slot;
        CellContext ctx;
        ctx.desc = &d;
        if (first >= 0) ctx.selection = std::make_pair(first, last);
        ChannelRecord r = Channel(slot);
        main->RunRowCommand(command, ctx, r, a, b);
        return ctx;
    }
};

TEST_F(MainControllerTest, StartsOnTheStoredVariantOrLmr) {
    for (int stored : {7, -1, 2}) {
        StartWith(stored);
        EXPECT_EQ(main->Doc().Variant(), stored == 2 ? 2 : 0) << stored;
        EXPECT_EQ(view.title, "Untitled - Parlo");
        EXPECT_FALSE(main->Doc().IsModified());
    }
}

TEST_F(MainControllerTest, DPmr446ShowsFourBanksUntilTheExtendedWord) {
    StartWith(kVariantDPmr446);
    EXPECT_EQ(BankNodes(), 4u);
    for (char c : std::string("xmoorhens")) main->TypedCharacter(c);
    EXPECT_TRUE(main->ExtendedMode());
    EXPECT_EQ(BankNodes(), 5u);
    StartWith(kVariantPmr);
    for (char c : std::string("moorhens")) main->TypedCharacter(c);
    EXPECT_FALSE(main->ExtendedMode());  // dPMR446 only
    EXPECT_EQ(BankNodes(), 5u);
}

TEST_F(MainControllerTest, TheMakerWordAsksFirstAndShowsTheMakerPages) {
    StartWith(kVariantLmr);
    EXPECT_EQ(main->Tree()->FindNode("[St_Common]GI_Sheet_Maker"), nullptr);
    prompts.answer = MsgAnswer::Cancel;
    for (char c : std::string("KESTREL")) main->TypedCharacter(c);
    EXPECT_FALSE(main->MakerMode());
    prompts.answer = MsgAnswer::Ok;
    for (char c : std::string("kestrel")) main->TypedCharacter(c);
    EXPECT_TRUE(main->MakerMode());
    EXPECT_EQ(view.makerPanel, "MAKER");
    EXPECT_NE(main->Tree()->FindNode("[St_Common]GI_Sheet_Maker"), nullptr);
}

TEST_F(MainControllerTest, SaveOpenAndTheSaveChangesPrompt) {
    StartWith(kVariantPmr);
    const std::string path = dir.file("fleet.icf");
    ASSERT_TRUE(main->Save(path));
    EXPECT_EQ(view.title, "fleet.icf - Parlo");
    EXPECT_EQ(env.Recent().Entry(0, ""), path);
    EXPECT_TRUE(prompts.shown.empty());

    // Opening the same file while modified asks about another copy and
    // saves through Save As.
    Modify();
    prompts.answer = MsgAnswer::Yes;
    view.savePath = dir.file("copy.icf");
    ASSERT_TRUE(main->Open(path));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Save the changes under another name?");
    EXPECT_EQ(view.saveDialogs, 1);
    EXPECT_EQ(test::ReadFile(dir.file("copy.icf")).substr(0, 8), "29270000");
    EXPECT_EQ(main->Doc().FileName(), path);

    // Cancel keeps the document as it is.
    Modify();
    prompts.answer = MsgAnswer::Cancel;
    main->New();
    EXPECT_TRUE(main->Doc().IsModified());
    EXPECT_EQ(main->Doc().FileName(), path);
}

// A save that fails leaves the document as it was: not modified when it was
// not, its name, title and image unchanged.
TEST_F(MainControllerTest, AFailedSaveChangesNothingOfTheDocument) {
    for (const int variant : {kVariantLmr, kVariantPmr, kVariantTarnPmr, kVariantDPmr446}) {
        StartWith(variant);
        const std::string title = view.title;
        EepromImage before;
        before.Assign(main->Doc().Working());
        prompts.shown.clear();
        EXPECT_FALSE(main->Save(dir.file("no/folder/x.icf")));
        EXPECT_EQ(prompts.shown.size(), 1u);
        EXPECT_FALSE(main->Doc().IsModified()) << variant;
        EXPECT_TRUE(main->Doc().Working().Equals(before)) << variant;
        EXPECT_EQ(main->Doc().FileName(), "");
        EXPECT_EQ(view.title, title);
    }
}

TEST_F(MainControllerTest, OpeningAnotherVariantsFileSwitchesVariant) {
    StartWith(kVariantPmr);
    EventManager events;
    Document other{events};
    ASSERT_TRUE(other.SelectModel(kVariantDPmr446));
    other.NewFromDefaults();
    other.PrepareImage(other.Working(), PackMode::Save);
    const std::string path = dir.file("d.icf");
    ASSERT_EQ(SaveCloneFile(path, other.Working()).code, kFileOk);
    ASSERT_TRUE(main->Open(path));
    EXPECT_EQ(main->Doc().Variant(), kVariantDPmr446);
    EXPECT_EQ(env.ModelType(), kVariantDPmr446);
    EXPECT_EQ(BankNodes(), 4u);
    EXPECT_FALSE(main->Doc().IsModified());
}

TEST_F(MainControllerTest, ChangingModel) {
    StartWith(kVariantLmr);
    main->ChangeModel(kVariantLmr, true);
    EXPECT_TRUE(prompts.shown.empty());  // the same variant: nothing asked
    prompts.answer = MsgAnswer::Cancel;
    main->ChangeModel(kVariantPmr, true);
    EXPECT_EQ(main->Doc().Variant(), kVariantLmr);
    prompts.answer = MsgAnswer::Ok;
    Modify();
    main->ChangeModel(kVariantPmr, true);
    EXPECT_EQ(main->Doc().Variant(), kVariantPmr);
    EXPECT_FALSE(main->Doc().IsModified());
    EXPECT_EQ(env.ModelType(), kVariantPmr);
}

TEST_F(MainControllerTest, CopyAndPasteKeepTheTargetAttributes) {
    StartWith(kVariantLmr);
    for (int slot = 5; slot <= 9; ++slot) PutChannel(slot, 150'000'000 + 12'500 * slot);
    main->Doc().Working().SetByte(kAddrRefA, 63);  // slot 63 is priority channel A
    Row(RowCommand::Copy, 5, 5, 9);
    const CellContext pasted = Row(RowCommand::Paste, 62);
    EXPECT_TRUE(prompts.shown.empty());  // blank targets: nothing asked
    EXPECT_EQ(Channel(62).Value(Field::RxFreq), 150'062'500);
    EXPECT_EQ(Channel(63).Value(Field::RxFreq), 150'075'000);
    EXPECT_EQ(Channel(63).attributes & kAttrRefA, kAttrRefA);
    EXPECT_EQ(Channel(62).attributes & kAttrRefA, 0);
    EXPECT_EQ(pasted.range, std::make_pair(62, 63));
    // Pasting onto a channel asks first.
    prompts.answer = MsgAnswer::Cancel;
    Row(RowCommand::Paste, 8);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Overwrite?");
}

TEST_F(MainControllerTest, MovingRows) {
    StartWith(kVariantLmr);
    for (int slot = 0; slot < 8; ++slot) PutChannel(slot, 150'000'000 + 12'500 * slot);
    const EepromImage before = main->Doc().Working();
    Row(RowCommand::MoveUp, 0);
    EXPECT_TRUE(main->Doc().Working().Equals(before));  // the first row cannot go up
    const CellContext moved = Row(RowCommand::MoveDown, 3, 3, 5);
    EXPECT_EQ(Channel(3).Value(Field::RxFreq), 150'075'000);  // row 6 ends up in row 3
    EXPECT_EQ(Channel(4).Value(Field::RxFreq), 150'037'500);
    EXPECT_EQ(Channel(6).Value(Field::RxFreq), 150'062'500);
    EXPECT_EQ(moved.range, std::make_pair(4, 6));
    EXPECT_EQ(moved.jump->index, 6);
}

TEST_F(MainControllerTest, DeleteInsertAndClear) {
    StartWith(kVariantLmr);
    for (int slot = 0; slot < 4; ++slot) PutChannel(slot, 150'000'000 + 12'500 * slot);
    main->Doc().Working().SetByte(kAddrRefA, 2);
    Row(RowCommand::Delete, 1, 1, 2);
    ASSERT_EQ(prompts.shown.size(), 2u);  // confirm, then refused
    EXPECT_EQ(prompts.shown[1].text, "Priority channel");
    EXPECT_EQ(Channel(1).Value(Field::RxFreq), 150'012'500);

    prompts.shown.clear();
    main->Doc().Working().SetByte(kAddrRefA, 40);
    main->Doc().Working().SetByte(kAddrRefB, 41);
    const int size = BankSize(main->Doc().Working(), 0);
    Row(RowCommand::Delete, 1);
    EXPECT_EQ(Channel(1).Value(Field::RxFreq), 150'025'000);
    EXPECT_EQ(BankSize(main->Doc().Working(), 0), size - 1);
    Row(RowCommand::Delete, 20);  // a blank row: nothing asked
    EXPECT_EQ(prompts.shown.size(), 1u);

    prompts.shown.clear();
    Row(RowCommand::Clear, 30);  // asked even for a blank row
    EXPECT_EQ(prompts.shown.size(), 1u);

    prompts.shown.clear();
    SetBankSize(main->Doc().Working(), 0, 64);
    Row(RowCommand::Insert, 3);
    ASSERT_EQ(prompts.shown.size(), 1u);
    // Where the room is: the empty slots of the bank.
    EXPECT_EQ(prompts.shown[0].text, "Full\n\n61 empty: 61 in bank 1\nMake room");
    SetBankSize(main->Doc().Working(), 0, 60);
    Row(RowCommand::Insert, 0);
    EXPECT_EQ(Channel(0).present, false);
    EXPECT_EQ(Channel(1).Value(Field::RxFreq), 150'000'000);
    EXPECT_EQ(BankSize(main->Doc().Working(), 0), 61);
}

TEST_F(MainControllerTest, DeletingPriorityChannelsIsAllowedInDPmr446) {
    StartWith(kVariantDPmr446);
    main->Doc().Working().SetByte(kAddrRefA, 0);
    const uint32_t second = static_cast<uint32_t>(Channel(1).Value(Field::RxFreq));
    prompts.answer = MsgAnswer::Ok;
    Row(RowCommand::Delete, 0);
    EXPECT_EQ(static_cast<uint32_t>(Channel(0).Value(Field::RxFreq)), second);
}

TEST_F(MainControllerTest, TheDebugListShowsTheChangesSinceTheLastOne) {
    StartWith(kVariantLmr);
    CellContext none;
    main->RunCommand(CL_Menu_Debug_Compare, 0, none);  // against the factory image
    EXPECT_NE(view.compare, "");
    const uint8_t old = main->Doc().Working().GetByte(0x9600);
    main->Doc().Working().SetByte(0x9600, static_cast<uint8_t>(old + 1));
    main->RunCommand(CL_Menu_Debug_Compare, 0, none);
    EXPECT_EQ(view.compare, Format("9600 : %02X -> %02X\n", old, static_cast<uint8_t>(old + 1)));
    main->RunCommand(CL_Menu_Debug_Compare, 0, none);
    EXPECT_EQ(view.compare, "");
    EXPECT_EQ(main->CompareBase()->GetByte(0x9600), static_cast<uint8_t>(old + 1));
}

TEST_F(MainControllerTest, MenuState) {
    StartWith(kVariantLmr);
    env.Recent().AddFront(dir.file("a.icf"));
    EXPECT_EQ(main->CommandState(CL_Menu_File_Recent, 0).caption, "&1 " + dir.file("a.icf"));
    EXPECT_TRUE(main->CommandState(CL_Menu_File_Recent, 1).hidden);
    env.Recent().Clear();
    EXPECT_TRUE(main->CommandState(CL_Menu_File_Recent, 0).disabled);
    env.SetComPort(3);
    EXPECT_TRUE(main->CommandState(CL_Menu_Port_Com, 3).checked);
    // COM1-COM4 name the device each opens.
    env.SetPortDevice(2, "/dev/ttyACM0");
    EXPECT_EQ(main->CommandState(CL_Menu_Port_Com, 2).caption, "COM&2  (/dev/ttyACM0)");
    EXPECT_EQ(main->CommandState(CL_Menu_Port_Com, 4).caption, "COM&4  (/dev/ttyUSB3)");
    EXPECT_FALSE(main->CommandState(CL_Menu_Port_Usb, 0).checked);
    env.SetComPort(9);
    EXPECT_TRUE(main->CommandState(CL_Menu_Port_Usb, 0).checked);
    EXPECT_TRUE(main->CommandState(CL_Menu_Debug_Window, 0).hidden);
}

}  // namespace
}  // namespace parlo
