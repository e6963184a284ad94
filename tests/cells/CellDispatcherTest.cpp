// The active cell dispatcher on the shipped factory images and overlay.
#include <gtest/gtest.h>

#include "app/Document.h"
#include "cells/CellDispatcher.h"
#include "codecs/ColourCodeCodec.h"
#include "codecs/DPmrFrequencyCodec.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "runtime/EventManager.h"
#include "tests/support/CellHarness.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

class TestHost : public CellHost {
public:
    explicit TestHost(Document& doc) : doc(doc) {}
    void RunCommand(int cell, int32_t index, const CellContext&) override {
        commands.emplace_back(cell, index);
    }
    void RunRowCommand(RowCommand command, CellContext&, ChannelRecord&, int first,
                       int last) override {
        rows.push_back({command, first, last});
    }
    void ContextHelp(int, int cell, int32_t) override { help.push_back(cell); }
    void CellEdited() override {
        ++edits;
        doc.RebuildModelData();
    }

    Document& doc;
    std::vector<std::pair<int, int32_t>> commands;
    struct Rows {
        RowCommand command;
        int first, last;
    };
    std::vector<Rows> rows;
    std::vector<int> help;
    int edits = 0;
};

class CellDispatcherTest : public ::testing::Test {
protected:
    test::VirtualScheduler clock;
    EventManager events{clock};
    Document doc{events};
    TestHost host{doc};
    CellDispatcher cells{doc.Scope(), &host};
    test::RecordingPrompts prompts;
    int shownBank = -1;

    // Stands in for the bank sheet on screen.
    EventSubscription bankSheet = events.Subscribe([this](const EventRecord& e) {
        if (e.Is(ev::kBankRange) && e.mode == EvMode::Request && shownBank >= 0)
            events.Answer(ev::kBankRange, {shownBank, 0});
    });

    void Open(int variant) {
        ASSERT_TRUE(doc.SelectModel(variant));
        doc.NewFromDefaults();
    }

    std::string Show(int category, int cell, int32_t index) {
        return test::ShownText(cells, category, cell, index);
    }

    CellContext Key(int category, int cell, int32_t index, int key, CellDesc* keep = nullptr) {
        static CellDesc d;
        d = test::SelectableCell(category, cell, index);
        CellContext ctx;
        cells.HandleKey(keep ? *keep : d, key, &ctx);
        return ctx;
    }

    CellContext Pick(int cell, int32_t index, PopupKind kind, int item) {
        static CellDesc d;
        d = test::SelectableCell(CT_Mch, cell, index);
        CellContext ctx;
        ctx.desc = &d;
        ctx.request.grid = true;
        ctx.request.phase = kPhasePick;
        ctx.request.chosen = ChosenItem{kind, item};
        cells.Handle(ctx, kModeOperate);
        return ctx;
    }
};

TEST_F(CellDispatcherTest, ChannelCellsShowTheRecord) {
    Open(kVariantPmr);
    EXPECT_EQ(Show(CT_Mch, CL_Mch_No, 0), "1-  1");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_FreqR, 0), "446.006250");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_FreqT, 0), "<-");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_Text, 1), "PMR 2");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_Scan, 0), "1__________");
    // A blank channel in the bank shows nothing but its number.
    EXPECT_EQ(Show(CT_Mch, CL_Mch_No, 8), "1-  9");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_FreqR, 8), "");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_Text, 8), "");
    EXPECT_EQ(Show(kNoCategory, CL_Mch_Bank_Total, 0), "64");
    EXPECT_EQ(Show(kNoCategory, CL_Mch_UsedCHs, 0), "8");
    EXPECT_EQ(Show(kNoCategory, CL_Mch_SmarTrunk, 5), "----");
}

TEST_F(CellDispatcherTest, TypingIntoAnEmptyRowStartsItsReceiveFrequency) {
    Open(kVariantPmr);
    CellContext ctx = Key(CT_Mch, CL_Mch_Text, 8, '4');
    ASSERT_TRUE(ctx.jump.has_value());
    EXPECT_EQ(*ctx.jump, (CellAddress{CT_Mch, CL_Mch_FreqR, 8}));
    EXPECT_EQ(ctx.request.requestEdit, kEditInPlace);
    EXPECT_EQ(ctx.request.text, "4");
    // The attribute cell is not redirected.
    EXPECT_FALSE(Key(CT_Mch, CL_Mch_Atr, 8, '4').jump.has_value());
}

// The row for adding a channel: a key opens the editor and adds nothing;
// the committed frequency appends an inhibited channel to the bank.
TEST_F(CellDispatcherTest, TheNewChannelRowAppendsAChannelOrRefuses) {
    Open(kVariantLmr);
    ResetBankLayout(doc.Working(), true);  // banks of 4, 4
    doc.RebuildModelData();
    shownBank = 0;
    EXPECT_EQ(Show(CT_Mch, CL_Mch_No, 4), "New");
    const EepromImage empty = doc.Working();
    CellContext ctx = Key(CT_Mch, CL_Mch_FreqR, 4, '1');
    EXPECT_EQ(ctx.request.requestEdit, kEditInPlace);
    EXPECT_EQ(ctx.request.text, "1");
    EXPECT_TRUE(doc.Working().Equals(empty));
    EXPECT_TRUE(prompts.shown.empty());
    static CellDesc d;
    d = test::SelectableCell(CT_Mch, CL_Mch_FreqR, 4);
    ctx = CellContext{};
    ctx.desc = &d;
    ctx.request.grid = true;
    ctx.request.phase = kPhaseCommit;
    ctx.request.editText = "145.5";
    cells.Handle(ctx, kModeOperate);
    EXPECT_EQ(BankSize(doc.Working(), 0), 5);
    EXPECT_EQ(BankFirstSlot(doc.Working(), 1), 5);
    EXPECT_EQ(Show(CT_Mch, CL_Mch_FreqR, 4), "145.500000");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_Inh, 4), "Inhibited");
    EXPECT_TRUE(prompts.shown.empty());

    // With all 64 slots in banks the row refuses at the first key and says
    // where the empty slots are.
    SetBankSize(doc.Working(), 1, 59);
    doc.RebuildModelData();
    const EepromImage before = doc.Working();
    shownBank = 1;
    ctx = Key(CT_Mch, CL_Mch_FreqR, 64, '1');
    EXPECT_TRUE(ctx.rejected);
    EXPECT_EQ(ctx.request.requestEdit, kEditNone);
    ASSERT_EQ(prompts.shown.size(), 1u);
    const std::string& text = prompts.shown[0].text;
    EXPECT_EQ(text.rfind(OvlMessage("GI_AppMess_ChErr_Overflow"), 0), 0u) << text;
    EXPECT_NE(text.find("63 of them are empty"), std::string::npos) << text;
    EXPECT_NE(text.find(": 4 in bank 1, 59 in bank 2."), std::string::npos) << text;
    EXPECT_NE(text.find("Bank layout page"), std::string::npos) << text;
    EXPECT_TRUE(doc.Working().Equals(before));
}

TEST_F(CellDispatcherTest, AttributeEntries) {
    Open(kVariantLmr);
    EepromImage& image = doc.Working();
    image.SetByte(kAddrRefA, 9);
    image.SetByte(kAddrRefB, 9);
    struct Step {
        int item;
        std::string letters;
        uint8_t refA, refB, refE;
        bool switchBit;  // bit 5 of 0x959F
    };
    image.SetByte(kAddrRefSwitch, 0x20);
    const Step steps[] = {
        {0, "A", 5, 9, image.GetByte(kAddrRefE), true},
        {1, "AB", 5, 5, image.GetByte(kAddrRefE), true},
        {2, "ABE", 5, 5, 5, true},
        {3, "AB", 5, 5, 5, false},
    };
    for (const Step& s : steps) {
        Pick(CL_Mch_Atr, 5, PopupKind::List, s.item);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_Atr, 5), s.letters) << s.item;
        EXPECT_EQ(image.GetByte(kAddrRefA), s.refA) << s.item;
        EXPECT_EQ(image.GetByte(kAddrRefB), s.refB) << s.item;
        EXPECT_EQ(image.GetByte(kAddrRefE), s.refE) << s.item;
        EXPECT_EQ((image.GetByte(kAddrRefSwitch) & 0x20) != 0, s.switchBit) << s.item;
    }
    const bool flagBefore = BankFlag(image, 0);
    Pick(CL_Mch_Atr, 5, PopupKind::List, 4);  // the bank flag
    EXPECT_NE(BankFlag(image, 0), flagBefore);
}

TEST_F(CellDispatcherTest, TheDPmr446ListSetsSignalModeAndColourCodes) {
    Open(kVariantDPmr446);
    shownBank = 0;
    for (int k : {0, 3, 15}) {
        Pick(CL_Mch_FreqR, 0, PopupKind::List, kDPmr446AnalogChannels + k);
        ChannelRecord r(doc.Working());
        r.Decode(4, 0);
        EXPECT_EQ(static_cast<uint32_t>(r.Value(Field::RxFreq)), kDPmr446Channels[8 + k]);
        EXPECT_EQ(r.Value(Field::SignalMode), 3);
        EXPECT_EQ(static_cast<uint32_t>(r.Value(Field::ColourRx)), ColourCodePattern(k + 1));
        EXPECT_EQ(r.Value(Field::ColourTx), r.Value(Field::ColourRx));
        EXPECT_EQ(Show(CT_Mch, CL_Mch_Dig_CC_R, 0), std::to_string(k + 1));
    }
    Pick(CL_Mch_FreqR, 0, PopupKind::List, 2);
    ChannelRecord r(doc.Working());
    r.Decode(4, 0);
    EXPECT_EQ(r.Value(Field::SignalMode), 0);
}

TEST_F(CellDispatcherTest, WarningMarksOfTarnChannelsWithMsk) {
    Open(kVariantTarnPmr);
    ChannelRecord r(doc.Working());
    r.Decode(3, 0);
    r.SetValue(Field::MskSig, 1);
    r.SetValue(Field::Moni, 6);
    r.SetValue(Field::ChMute, 1);
    r.SetValue(Field::Sel, 1);
    r.SetValue(Field::Call, 0);
    r.SetValue(Field::Ptt, 0);
    r.Store();
    EXPECT_EQ(cells.WarningMarks(CT_Mch, FlexMark, 0), 0);
    r.SetValue(Field::Moni, 2);
    r.SetValue(Field::Call, 1);
    r.Store();
    EXPECT_EQ(cells.WarningMarks(CT_Mch, CL_Mch_Moni, 0), kMarkWarning);
    EXPECT_EQ(cells.WarningMarks(CT_Mch, CL_Mch_Call, 0), kMarkError);
    EXPECT_EQ(cells.WarningMarks(CT_Mch, CL_Mch_Sel, 0), kMarkError);
    EXPECT_EQ(cells.WarningMarks(CT_Mch, FlexMark, 0), kMarkWarning | kMarkError);
    EXPECT_EQ(cells.WarningMarks(CT_Mch, CL_Mch_FreqR, 0), 0);
    CellDesc check = test::SelectableCell(kNoCategory, CL_Check_Mch, 0);
    check.action = "[St_ChBank]GI_Sheet_Mch_PMRT,Bank 0";
    CellContext ctx;
    ctx.desc = &check;
    cells.Handle(ctx, kModeDraw);
    EXPECT_EQ(ctx.warningMarks, kMarkWarning | kMarkError);
    r.SetValue(Field::MskSig, 0);
    r.Store();
    EXPECT_EQ(cells.WarningMarks(CT_Mch, FlexMark, 0), 0);
}

TEST_F(CellDispatcherTest, CommandCellsGoToTheHost) {
    Open(kVariantTarnPmr);
    for (int cell = CL_Model_Lmr; cell <= CL_Model_DPmr446; ++cell) {
        const CellDesc d = test::SelectableCell(kNoCategory, cell, 0);
        CellContext ctx;
        ctx.desc = &d;
        cells.Handle(ctx, kModeDraw);
        EXPECT_EQ(ctx.checked, cell == CL_Model_TarnPmr) << cell;
    }
    Key(kNoCategory, CL_Menu_File_Save, 0, kKeyEnter);
    Key(kNoCategory, CallSheet, 3, kKeyEnter);
    EXPECT_EQ(host.commands,
              (std::vector<std::pair<int, int32_t>>{{CL_Menu_File_Save, 0}, {CallSheet, 3}}));
    // A popup menu choice runs its command on the current cell's rows.
    const CellDesc current = test::SelectableCell(CT_Mch, CL_Mch_FreqR, 3);
    const CellDesc copy = test::SelectableCell(CT_PopupMenu, CL_PMenu_Copy, 0);
    CellContext ctx;
    ctx.desc = &current;
    ctx.menuItem = &copy;
    cells.Handle(ctx, kModeOperate);
    ASSERT_EQ(host.rows.size(), 1u);
    EXPECT_EQ(host.rows[0].command, RowCommand::Copy);
    EXPECT_EQ(host.rows[0].first, 0);
    EXPECT_EQ(host.rows[0].last, 63);
}

TEST_F(CellDispatcherTest, EditsReportRedrawFlags) {
    Open(kVariantPmr);
    std::vector<std::pair<CellAddress, uint16_t>> redraws;
    const CellDesc d = test::SelectableCell(CT_Mch, CL_Mch_RfPo, 2);
    CellContext ctx;
    ctx.desc = &d;
    ctx.operation = kKeySpace;
    ctx.request.key = kKeySpace;
    ctx.request.grid = true;
    ctx.redrawByAddress = [&](const CellAddress& a, uint16_t f) { redraws.emplace_back(a, f); };
    cells.Handle(ctx, kModeOperate);
    ASSERT_EQ(redraws.size(), 1u);
    EXPECT_EQ(redraws[0].first, (CellAddress{CT_Mch, CL_Mch_RfPo, 2}));
    EXPECT_EQ(redraws[0].second, kRedrawCell | kRedrawRow | kRedrawDecoded);
    EXPECT_EQ(host.edits, 1);
    // Drawing never asks for redraws.
    redraws.clear();
    CellContext draw;
    draw.desc = &d;
    draw.redrawByAddress = ctx.redrawByAddress;
    cells.Handle(draw, kModeDraw);
    EXPECT_TRUE(redraws.empty());
}

// A page laid out or painted reads its cells in a pass, which keeps the
// records and banks it read: a cell operated within the pass, or a change
// between passes (a record, the banks' sizes), is read afresh.
TEST_F(CellDispatcherTest, AReadingPassShowsWhatTheImageHoldsAfterAnEdit) {
    Open(kVariantPmr);
    const DocumentData& data = doc.Scope().document;
    const std::string power = Show(CT_Mch, CL_Mch_RfPo, 2);
    {
        const ReadingPass pass(data);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_Text, 1), "PMR 2");
        EXPECT_EQ(Show(kNoCategory, CL_Mch_UsedCHs, 0), "8");
        EXPECT_EQ(Show(CT_Mch, CL_Mch_No, 4), "1-  5");
    }
    ChannelRecord record(doc.Working());
    record.Decode(ChannelKindOf(kVariantPmr), 1);
    record.texts[0] = "RENAMED";
    record.Store();
    SetBankSize(doc.Working(), 0, 4);
    doc.RebuildModelData();
    {
        const ReadingPass pass(data);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_Text, 1), "RENAMED");
        EXPECT_EQ(Show(kNoCategory, CL_Mch_UsedCHs, 0), "4");
        EXPECT_EQ(Show(CT_Mch, CL_Mch_No, 4), "New") << "the row after the bank's last";
        EXPECT_EQ(Show(CT_Mch, CL_Mch_RfPo, 2), power);
        Key(CT_Mch, CL_Mch_RfPo, 2, kKeySpace);
        EXPECT_NE(Show(CT_Mch, CL_Mch_RfPo, 2), power) << "the step is shown in the same pass";
    }
}

}  // namespace
}  // namespace parlo
