// The shipped overlay: every page the tree names builds and draws on every
// variant's factory image, every key the program asks for is there, and
// every setting the dispatcher edits has a place on some page.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "cells/CellNames.h"
#include "codecs/CodecSetup.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"
#include "sheet/CellParser.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/PickListSheet.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"
#include "sheet/SheetPrinter.h"
#include "tests/support/CellHarness.h"
#include "tests/support/RecordingCanvas.h"

namespace parlo {
namespace {

// The pages opened from elsewhere than the tree.
const char* const kOtherPages[] = {"GI_Sheet_CloneInfo", "GI_Sheet_EeDebugWin", "GI_Sheet_FBitsR",
                                   "GI_Sheet_Sel_Text"};

class ShippedOverlayTest : public test::CellHarness {
protected:
    // The radio option that brings the digital timers page.
    void SetDigitalOption(bool on) {
        const uint8_t b = doc.Working().GetByte(0x000B);
        doc.Working().SetByte(0x000B, static_cast<uint8_t>(on ? b | 0x10 : b & ~0x10));
    }

    // The node actions of the tree, in tree order.
    std::vector<std::string> TreeActions(int variant, bool maker, bool extended) {
        doc.SetVariant(variant);
        doc.Modes() = {maker, extended};
        RadioTree tree(MainOverlay(), "GI_Tree_Main", doc.Scope());
        tree.Build();
        tree.RebuildVariableBranches();
        std::vector<std::string> actions;
        tree.ForEach([&](TreeNode& n) { actions.push_back(n.Action()); });
        return actions;
    }

    std::unique_ptr<Sheet> Build(const std::string& action, bool printing) {
        Sheet::Params params;
        if (printing) {
            params.printerFontHeight = -50;
            params.printScale = 5;
        }
        auto sheet = CreateSheet(action, params, doc.Scope(), cells.Entry());
        FixedMetricsCanvas measure;
        sheet->Build(measure);
        return sheet;
    }

    // Draws every cell; returns the texts of the bound ones by cell.
    std::map<int, std::set<std::string>> DrawAll(Sheet& sheet) {
        std::map<int, std::set<std::string>> texts;
        test::RecordingCanvas canvas;
        int top = 0;
        for (int r = 0; r < sheet.RowCount(); ++r) {
            int left = 0;
            for (int c = 0; c < sheet.ColCount(); ++c) {
                const Rect rect{left, top, left + sheet.ColWidth(c), top + sheet.RowHeight(r)};
                sheet.DrawCell(canvas, c, r, rect, true);
                const CellDesc& d = sheet.Cell(c, r);
                if (d.Bound()) texts[d.cell].insert(sheet.CellText(c, r));
                left = rect.right;
            }
            top += sheet.RowHeight(r);
        }
        return texts;
    }
};

TEST_F(ShippedOverlayTest, TreeShowsThePagesOfEachVariantAndMode) {
    struct Case {
        int variant;
        bool maker, extended, digitalOption;
        std::vector<const char*> present, absent;
        int banks;
    } cases[] = {
        {kVariantLmr,
         false,
         false,
         false,
         {"GI_Sheet_2Tone", "GI_Sheet_Mch_LMR,Bank 4"},
         {"GI_Sheet_5TTx", "GI_Sheet_Msk_Cfg", "GI_Sheet_Maker", "GI_Sheet_Dig_Tim"},
         5},
        {kVariantPmr,
         false,
         false,
         false,
         {"GI_Sheet_5TTx", "GI_Sheet_5TRx", "GI_Sheet_Mch_PMR,Bank 0"},
         {"GI_Sheet_2Tone", "GI_Sheet_Msk_Cfg"},
         5},
        {kVariantTarnPmr,
         true,
         false,
         false,
         {"GI_Sheet_5TTx", "GI_Sheet_Msk_Cfg", "GI_Sheet_Msk_Timing", "GI_Sheet_Maker",
          "GI_Sheet_Mch_PMRT,Bank 2"},
         {"GI_Sheet_2Tone"},
         5},
        {kVariantDPmr446,
         false,
         false,
         false,
         {"GI_Sheet_Dig_ProgMes", "GI_Sheet_Mch_DPmr446,Bank 3"},
         {"GI_Sheet_2Tone", "GI_Sheet_5TTx", "GI_Sheet_Msk_Cfg", "GI_Sheet_Mch_DPmr446,Bank 4",
          "GI_Sheet_Dig_Tim"},
         4},
        {kVariantDPmr446,
         false,
         true,
         true,
         {"GI_Sheet_Mch_DPmr446,Bank 4", "GI_Sheet_Dig_Tim"},
         {},
         5},
    };
    for (const Case& c : cases) {
        Open(c.variant);
        SetDigitalOption(c.digitalOption);
        const std::vector<std::string> actions = TreeActions(c.variant, c.maker, c.extended);
        auto has = [&](const char* key) {
            return std::any_of(actions.begin(), actions.end(), [&](const std::string& a) {
                return a.find(key) != std::string::npos;
            });
        };
        for (const char* key : c.present) EXPECT_TRUE(has(key)) << c.variant << " lacks " << key;
        for (const char* key : c.absent) EXPECT_FALSE(has(key)) << c.variant << " shows " << key;
        EXPECT_EQ(std::count_if(actions.begin(), actions.end(),
                                [](const std::string& a) { return a.find("[St_ChBank]") == 0; }),
                  c.banks);
        // Print-all prints one page per node: no page twice.
        EXPECT_EQ(std::set<std::string>(actions.begin(), actions.end()).size(), actions.size());
    }
}

TEST_F(ShippedOverlayTest, EveryPageBuildsAndDrawsOnEveryVariant) {
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        std::set<std::string> actions;
        for (bool maker : {false, true}) {
            for (bool extended : {false, true}) {
                for (const std::string& a : TreeActions(variant, maker, extended))
                    actions.insert(a);
            }
        }
        SetDigitalOption(true);
        for (const std::string& a : TreeActions(variant, true, true)) actions.insert(a);
        // The other pages do not depend on the variant.
        if (variant == 0) {
            for (const char* key : kOtherPages) actions.insert(key);
        }
        for (const std::string& action : actions) {
            SCOPED_TRACE("variant " + std::to_string(variant) + " page " + action);
            for (bool printing : {false, true}) {
                auto sheet = Build(action, printing);
                ASSERT_GT(sheet->RowCount(), 0);
                DrawAll(*sheet);
            }
        }
    }
}

TEST_F(ShippedOverlayTest, ChannelPagesKeepFiveRowsAboveTheChannels) {
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        const std::string action =
            std::string("[St_ChBank]GI_Sheet_Mch_") + ChannelSheetName(variant) + ",Bank 0";
        SCOPED_TRACE(action);
        auto sheet = Build(action, false);
        // The row for adding a channel is the last; it reads "New" and takes
        // no part in selecting several rows.
        const int last = sheet->RowCount() - 1;
        EXPECT_EQ(sheet->CellText(0, last), OvlText("GI_NewChTitle"));
        EXPECT_EQ(sheet->CellText(0, 5), "1-  1");
        EXPECT_EQ(sheet->Marks(1, last) & Sheet::kMarkTakesPart, 0);
        EXPECT_NE(sheet->Marks(1, last - 1) & Sheet::kMarkTakesPart, 0);
        // The heads stay in view; the two hint rows below them scroll away.
        EXPECT_EQ(sheet->FixedRows(), 3);
        EXPECT_FALSE(sheet->CellText(0, 3).empty());
        EXPECT_FALSE(sheet->TitleText().empty());

        // Printed on A4 at 600 dpi the wide page is cut into several pages
        // across, between its column groups, rather than shrunk onto one.
        auto printed = Build(action, true);
        const PageChunks chunks = CutIntoPages(*printed, 4400, 6400);
        EXPECT_GT(chunks.columns.size(), 1u);
    }
}

// Texts of the radio's display are drawn as its characters, never as plain
// text, so their rows are made tall enough for the characters to be read.
TEST_F(ShippedOverlayTest, DisplayTextsHaveRowsTallEnoughForTheirCharacters) {
    // The rows of the other cells are 17 high at the basic font (13 + 2 + 2
    // with the fixed metrics); display characters need half as much again.
    constexpr int kLegibleRow = 24;
    std::set<std::string> cellsSeen;
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        SetDigitalOption(true);
        for (const std::string& action : TreeActions(variant, true, true)) {
            if (action.empty()) continue;
            auto sheet = Build(action, false);
            test::RecordingCanvas canvas;
            for (int r = 0; r < sheet->RowCount(); ++r) {
                for (int c = 0; c < sheet->ColCount(); ++c) {
                    const CellDesc& d = sheet->Cell(c, r);
                    if (!d.Bound()) continue;
                    CellContext ctx;
                    ctx.desc = &d;
                    cells.Handle(ctx, kModeDraw);
                    if (!ctx.request.displayBytes) continue;
                    const std::string name = CellName(d.cell);
                    cellsSeen.insert(name);
                    EXPECT_GE(sheet->RowHeight(r), kLegibleRow) << action << " " << name;
                    canvas.Clear();
                    sheet->DrawCell(canvas, c, r, {0, 0, sheet->ColWidth(c), sheet->RowHeight(r)},
                                    false);
                    EXPECT_TRUE(canvas.texts.empty()) << action << " " << name;
                }
            }
        }
    }
    // Names of channels, banks, memories and lists, set-mode and display
    // messages.
    for (const char* name :
         {"CL_Mch_Text", "CL_Mch_BankText", "CL_KDisp_OpeningText", "CL_TSetM_Backlight",
          "CL_Dtmf_Text", "CL_ScanList_Text", "CL_Dig_ProgMes_Busy"})
        EXPECT_TRUE(cellsSeen.count(name)) << name;
}

// The long choice lists have pick sheets of their own (several items a row
// under a head): each of their cells hands back the item it shows, and
// every item the radio can take is there once.
TEST_F(ShippedOverlayTest, ListsWithASheetOfTheirOwnOfferEveryItem) {
    for (const char* list :
         {"GI_Sheet_Sel_Mch_CTone", "GI_Sheet_Sel_Mch_CTone_ExUser", "GI_Sheet_Sel_Mch_Dtcs"}) {
        SCOPED_TRACE(list);
        ASSERT_TRUE(ListHasOwnSheet(MainOverlay(), list));
        const std::vector<std::string> items = OvlLines(list);
        auto sheet = CreatePickSheet(list, {}, doc.Scope(), cells.Entry());
        FixedMetricsCanvas measure;
        sheet->Build(measure);
        EXPECT_TRUE(sheet->PickMode());
        EXPECT_GE(sheet->ColCount(), 4);  // not one long column
        std::multiset<int> offered;
        for (int r = 0; r < sheet->RowCount(); ++r) {
            for (int c = 0; c < sheet->ColCount(); ++c) {
                const CellDesc& d = sheet->Cell(c, r);
                if (!d.Selectable()) continue;
                ASSERT_EQ(d.cell, Flex0);
                ASSERT_LT(d.index, static_cast<int>(items.size()));
                offered.insert(d.index);
                EXPECT_EQ(d.Text(), items[static_cast<size_t>(d.index)]);
            }
        }
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            const bool available = items[static_cast<size_t>(i)] != "(not available)";
            EXPECT_EQ(offered.count(i), available ? 1u : 0u) << i;
        }
    }
}

// The families whose cells keep settings of the radio.
bool IsSettingCell(const std::string& name) {
    static const char* const kFamilies[] = {
        "CL_Mch_",  "CL_Bank_",  "CL_Msk_",      "CL_Dig_",      "CL_KDisp_", "CL_TSetM_",
        "CL_SetM_", "CL_USetM_", "CL_TSetI_",    "CL_Comm_",     "CL_Exp_",   "CL_CEdit",
        "CL_Dtmf_", "CL_CTone_", "CL_ScanList_", "CL_ScanComm_", "CL_2T_",    "CL_2TTx_",
        "CL_5TRx_", "CL_5TTx_",  "CL_Select_",   "CL_UTone_",    "CL_Maker_"};
    return std::any_of(std::begin(kFamilies), std::end(kFamilies),
                       [&](const char* f) { return name.rfind(f, 0) == 0; });
}

// Setting cells that no page shows, and why.
const std::map<std::string, const char*> kNotPlaced = {
    {"CL_Mch_Log_Msk", "the same field as CL_Mch_Msk_Log, which the Tarn channel page shows"},
    {"CL_Mch_RxCNo2", "the same field as CL_Mch_RxCNo, which the channel pages show"},
    {"CL_Select_TX_Code", "shows the transmit code of its row, already the Code column"},
    {"CL_Select_TX_Text", "shows the name of its row, already the Name column"},
};

TEST_F(ShippedOverlayTest, EverySettingIsOnAPageAndNoPageShowsWhatTheRadioDoesNotKeep) {
    // What each cell shows on the pages of every variant.
    std::map<int, std::set<std::string>> placed;
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        SetDigitalOption(true);
        for (const std::string& action : TreeActions(variant, true, true)) {
            auto sheet = Build(action, false);
            for (auto& [cell, texts] : DrawAll(*sheet))
                placed[cell].insert(texts.begin(), texts.end());
        }
    }
    // The setting cells no page shows, and whether they show anything but
    // the "not stored" text on some variant.
    std::map<int, bool> unplaced;
    for (int cell = 0; cell < kCellCount; ++cell) {
        const std::string name = CellName(cell);
        if (!IsSettingCell(name) || CellDispatcher::HandlerOf(cell) == nullptr) continue;
        const bool onAPage = placed.count(cell) != 0;
        if (kNotPlaced.count(name) != 0) {
            EXPECT_FALSE(onAPage) << name << " is listed as not placed but is on a page";
        } else if (onAPage) {
            const std::set<std::string>& shown = placed[cell];
            EXPECT_FALSE(shown.size() == 1 && *shown.begin() == kNotStoredText)
                << name << " shows only " << kNotStoredText << " on every page";
        } else {
            unplaced[cell] = false;
        }
    }
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        for (auto& [cell, keeps] : unplaced) {
            for (int32_t index : {0, 1})
                keeps = keeps || Show(CT_Null, cell, index) != kNotStoredText;
        }
    }
    for (const auto& [cell, keeps] : unplaced)
        EXPECT_FALSE(keeps) << CellName(cell) << " keeps a setting but no page shows it";
}

// ---- Keys ----------------------------------------------------------------------

const char* const kTexts[] = {
    "GI_AppMess_TextNotShown",
    "GI_Compare_Window",
    "GI_Sys_AppTitle",
    "GI_Sys_AppTitleRev",
    "GI_Sys_Dialog_FOpen",
    "GI_Sys_Dialog_FCsv",
    "GI_Sys_Dialog_FTable",
    "GI_Sys_Dialog_FExport",
    "GI_AppMess_Export_Notes",
    "GI_AppMess_Tone_NoCtcss",
    "GI_AppMess_Tone_TransmitFollows",
    "GI_AppMess_Import_Refused",
    "GI_AppMess_Import_More",
    "GI_AppMess_Import_Unreadable",
    "GI_AppMess_Export_Failed",
    "GI_Sys_Printer_SaveFailed",
    "GI_AppMess_Paste_Refused",
    "GI_AppInd_Import_Done",
    "GI_AppInd_Export_Done",
    "GI_AppInd_BankLayoutOwn",
    "GI_Sys_Dialog_Titles",
    "GI_Status_Printed",
    "GI_Status_PrintTo",
    "GI_AppInd_TextEntry_Length",
    "GI_AppMess_ChErr_MakeRoom",
    "GI_Sheet_Mch_AddHint",
    "GI_Sys_LockoutNewerData",
    "GI_Sys_Maker",
    "GI_Sys_MyHelpFile",
    "GI_Sys_Printer_FontPoints",
    "GI_Sys_Printer_FrameFont",
    "GI_Sys_Printer_Margins",
    "GI_Sys_Printer_NoPrinter",
    "GI_Sys_Printer_PrintingDialog",
    "GI_Sys_TreeChangeDelay",
    "GI_App_About_Button",
    "GI_App_About_Caption",
    "GI_App_InitialFile",
    "GI_StatusPanel_Maker",
    "GI_NewChTitle",
    "GI_WarningCheckList",
    "GI_Mess_CloneErr_Check",
    "GI_Mess_CloneErr_Head",
    "GI_Mess_CloneInfo_Opt_OptBoardA",
    "GI_Mess_CloneInfo_Opt_OptBoardB",
    "GI_Mess_CloneInfo_Opt_OptBoardC",
    "GI_Mess_CloneInfo_Opt_OptBoardD",
    "GI_Mess_CloneInfo_Opt_OptBoardE",
    "GI_Mess_CloneInfo_Opt_OptBoardF",
    "GI_Mess_CloneInfo_Opt_OptBoardG",
    "GI_Mess_CloneInfo_Opt_OptBoardH",
    "GI_Mess_CloneInfo_Opt_OptBoardI",
    "GI_Mess_CloneInfo_OverVolt",
    "GI_Mess_CloneInfo_TenKey",
    "GI_Mess_CloneWrite_Succeeded",
    "GI_Mess_CloneWrite_Backup",
    "GI_Mess_CloneVerify_Differs",
    "GI_Mess_CloneBackup_Failed",
    "GI_Mess_CloneBackup_Comment",
    "GI_Mess_Clone_Stage",
    "GI_Mess_Clone_Progress",
    "GI_Mess_Confirm_CloneWrite",
    "GI_Mess_Confirm_WriteAnother",
    "GI_Mess_Confirm_WriteFile",
    "GI_Mess_DataError",
    "GI_Mess_Extended_Caution",
    "GI_Mess_FileErr_Coverage",
    "GI_Mess_FileErr_Data",
    "GI_Mess_FileErr_Extra",
    "GI_Mess_FileErr_FileAccess",
    "GI_Mess_FileErr_FileOpen",
    "GI_Mess_FileErr_Format",
    "GI_Mess_FileErr_Headline",
    "GI_Mess_FileErr_SaveHeadline",
    "GI_Mess_FileErr_SaveOpen",
    "GI_Mess_FileErr_Why",
    "GI_Mess_FileErr_MapRev",
    "GI_Mess_FileErr_Model",
    "GI_Mess_FileErr_Newer",
    "GI_Mess_Maker_Caution",
    "GI_AppMess_ChErr_DelPrio",
    "GI_AppMess_ChErr_NoCh",
    "GI_AppMess_ChErr_NotBlank",
    "GI_AppMess_ChErr_Overflow",
    "GI_AppMess_ChangeModel",
    "GI_AppMess_CloneErr_NoActualCh",
    "GI_AppMess_Conv_BankLayout",
    "GI_AppMess_Conv_Clear",
    "GI_AppMess_Conv_Delete",
    "GI_AppMess_Conv_Overwrite",
    "GI_AppMess_S_Clear",
    "GI_AppMess_S_Copy",
    "GI_AppMess_S_Delete",
    "GI_AppMess_S_Insert",
    "GI_AppMess_S_Paste",
    "GI_AppInd_Button_OkCancel",
    "GI_AppInd_Menu_Redo",
    "GI_AppInd_Menu_Undo",
    "GI_AppInd_Reading",
    "GI_AppInd_MchSheet_Printer_Head",
    "GI_AppInd_MchSheet_Printer_SmarTrunk",
    "GI_AppInd_Model",
    "GI_AppInd_Opt_ComSel_Buttons",
    "GI_AppInd_Opt_ComSel_Caption",
    "GI_AppInd_Opt_ComSel_Notice",
    "GI_AppInd_Opt_ComSel_OutofRange",
    "GI_AppInd_Opt_ComSel_SizeOfButtons",
    "GI_AppInd_OutofCh",
    "GI_AppInd_TimerOff",
    "GI_AppInd_CharacterEditorCaption",
    "GI_AppItem_Ctcss",
    "GI_AppItem_Dtcs",
    "GI_PCG_Seg_Data",
    "GI_Tree_Branch_Mch_Bank",
    "GI_Tree_Branch_Mch_BankOperation",
    "GI_Form_Main_BasicCell",
};

const char* const kLists[] = {
    "GI_Sheet_Sel_2TRxC_Freq",
    "GI_Sheet_Sel_2TRxC_Group",
    "GI_Sheet_Sel_2TRxC_Type",
    "GI_Sheet_Sel_2TTxC_Freq",
    "GI_Sheet_Sel_Bank_SelBankFree",
    "GI_Sheet_Sel_Comm_Batt_Type",
    "GI_Sheet_Sel_Comm_Ctcss_BurstType",
    "GI_Sheet_Sel_Comm_RS232C_Mode",
    "GI_Sheet_Sel_Comm_RS232C_SPEED",
    "GI_Sheet_Sel_Comm_RxAfSw",
    "GI_Sheet_Sel_Comm_Sairen",
    "GI_Sheet_Sel_Comm_Scrm_GroupCode",
    "GI_Sheet_Sel_Comm_Scrm_SyncCapture",
    "GI_Sheet_Sel_Comm_Scrm_ToneStartTiming",
    "GI_Sheet_Sel_Comm_Scrm_Type",
    "GI_Sheet_Sel_Comm_SelAll",
    "GI_Sheet_Sel_Comm_SetModeAccess",
    "GI_Sheet_Sel_Comm_Wide",
    "GI_Sheet_Sel_Dig_RS232C_SPEED",
    "GI_Sheet_Sel_Exp_ChMuteCont",
    "GI_Sheet_Sel_Exp_ClShift",
    "GI_Sheet_Sel_Exp_DtcsInv",
    "GI_Sheet_Sel_KDisp_KeyOpt_HL",
    "GI_Sheet_Sel_KDisp_Key_SmTr",
    "GI_Sheet_Sel_KDisp_RfPwr",
    "GI_Sheet_Sel_KDisp_Rotary",
    "GI_Sheet_Sel_KDisp_ScrmOpt_Port",
    "GI_Sheet_Sel_KDisp_Tenkey",
    "GI_Sheet_Sel_Keys_Conv_DPmr446Ana",
    "GI_Sheet_Sel_Keys_Conv_DPmr446Dig",
    "GI_Sheet_Sel_Keys_Conv_Lmr",
    "GI_Sheet_Sel_Keys_Conv_Pmr",
    "GI_Sheet_Sel_Keys_Conv_TarnPmr",
    "GI_Sheet_Sel_MSK_Country_Code",
    "GI_Sheet_Sel_Maker_DtcsPolar",
    "GI_Sheet_Sel_Maker_PllType",
    "GI_Sheet_Sel_Mch_2Tone",
    "GI_Sheet_Sel_Mch_Atr",
    "GI_Sheet_Sel_Mch_Atr_ExSmt",
    "GI_Sheet_Sel_Mch_AutoReset_Lmr",
    "GI_Sheet_Sel_Mch_AutoReset_Pmr",
    "GI_Sheet_Sel_Mch_CH_TxInh",
    "GI_Sheet_Sel_Mch_CTone",
    "GI_Sheet_Sel_Mch_CTone_ExUser",
    "GI_Sheet_Sel_Mch_Call",
    "GI_Sheet_Sel_Mch_ChInh",
    "GI_Sheet_Sel_Mch_ChMute",
    "GI_Sheet_Sel_Mch_Dig_Signal",
    "GI_Sheet_Sel_Mch_Dtcs",
    "GI_Sheet_Sel_Mch_DtcsInv",
    "GI_Sheet_Sel_Mch_Form",
    "GI_Sheet_Sel_Mch_Freq",
    "GI_Sheet_Sel_Mch_LTone",
    "GI_Sheet_Sel_Mch_Lockout_Ana",
    "GI_Sheet_Sel_Mch_Lockout_Dig",
    "GI_Sheet_Sel_Mch_Lockout_Lmr",
    "GI_Sheet_Sel_Mch_Lockout_Pmr",
    "GI_Sheet_Sel_Mch_Log_Lmr",
    "GI_Sheet_Sel_Mch_Log_Pmr",
    "GI_Sheet_Sel_Mch_Moni",
    "GI_Sheet_Sel_Mch_Msk_ID",
    "GI_Sheet_Sel_Mch_Msk_Rpt_1st_Pmr",
    "GI_Sheet_Sel_Mch_Msk_Rpt_2nd",
    "GI_Sheet_Sel_Mch_Msk_Signal_Pmr",
    "GI_Sheet_Sel_Mch_Nar",
    "GI_Sheet_Sel_Mch_Pos",
    "GI_Sheet_Sel_Mch_Ptt",
    "GI_Sheet_Sel_Mch_RfPwr",
    "GI_Sheet_Sel_Mch_ScanInc",
    "GI_Sheet_Sel_Mch_ScramCode",
    "GI_Sheet_Sel_Mch_ScramOn",
    "GI_Sheet_Sel_Mch_Sel",
    "GI_Sheet_Sel_Mch_SendStatus",
    "GI_Sheet_Sel_Misc_Enable",
    "GI_Sheet_Sel_Misc_Enable2",
    "GI_Sheet_Sel_Misc_Enable3",
    "GI_Sheet_Sel_Misc_Enable_D",
    "GI_Sheet_Sel_Misc_Enable_I",
    "GI_Sheet_Sel_Misc_OnOff",
    "GI_Sheet_Sel_Misc_OnOff2",
    "GI_Sheet_Sel_Misc_OnOff_I",
    "GI_Sheet_Sel_MrCode",
    "GI_Sheet_Sel_Msk_ANI_Disp",
    "GI_Sheet_Sel_Msk_GpsSentence",
    "GI_Sheet_Sel_Msk_IdGroup_Bell",
    "GI_Sheet_Sel_Msk_PreEmphasis",
    "GI_Sheet_Sel_Msk_PttSideTone",
    "GI_Sheet_Sel_Msk_StatusMessPrio",
    "GI_Sheet_Sel_RxC_AbcCode",
    "GI_Sheet_Sel_RxC_AbcSel",
    "GI_Sheet_Sel_RxC_Aud",
    "GI_Sheet_Sel_RxC_Beep",
    "GI_Sheet_Sel_RxC_Bell",
    "GI_Sheet_Sel_RxC_Scan",
    "GI_Sheet_Sel_RxC_Stun",
    "GI_Sheet_Sel_SRing_Beep",
    "GI_Sheet_Sel_ScanList_Text",
    "GI_Sheet_Sel_ScanMode",
    "GI_Sheet_Sel_SetM_Backlight",
    "GI_Sheet_Sel_SetM_BeepLev",
    "GI_Sheet_Sel_SetM_CodeType",
    "GI_Sheet_Sel_SetM_MicGain",
    "GI_Sheet_Sel_SetM_PowerSave",
    "GI_Sheet_Sel_SetM_RingLev",
    "GI_Sheet_Sel_SetM_Ringer",
    "GI_Sheet_Sel_SetM_RingerOff",
    "GI_Sheet_Sel_TxWait_Timer",
    "GI_Sheet_Sel_UserSetEnable",
};

// Sheets the program names (the tree names the others, checked above).
const char* const kSheets[] = {
    "GI_Sheet_CloneInfo", "GI_Sheet_Dig_ProgMes",   "GI_Sheet_Dig_Tim",  "GI_Sheet_EeDebugWin",
    "GI_Sheet_FBitsR",    "GI_Sheet_Memory_CH_Top", "GI_Sheet_Sel_Text", "GI_Sheet_SelList"};
const char* const kBodies[] = {"GI_Tree_Main", "GI_Menu_Main", "GI_ToolBar_Main", "GI_PMenu_Edit",
                               "GI_PMenu_NoItem"};

TEST(OverlayKeys, EveryKeyTheProgramAsksForExists) {
    OverlayText& o = MainOverlay();
    for (const char* key : kTexts) EXPECT_TRUE(o.TryGetText(key)) << key;
    for (const char* key : kLists) EXPECT_TRUE(o.TryGetText(key)) << key;
    for (const char* key : kSheets) {
        for (const char* suffix : {"_Style", "_BasicCell", "_Cells"})
            EXPECT_TRUE(o.TryGetText(std::string(key) + suffix)) << key << suffix;
    }
    for (const char* key : kBodies) {
        for (const char* suffix : {"_BasicCell", "_Body"})
            EXPECT_TRUE(o.TryGetText(std::string(key) + suffix)) << key << suffix;
    }
    for (const char* key :
         {"GI_AppItem_Topic_ID", "GI_AppItem_Key_Assign_Topic_ID", "GI_AppItem_Context_ID"})
        EXPECT_TRUE(HelpOverlay().TryGetText(key)) << key;
}

// Texts read by line index or as numbers must have those lines.
TEST(OverlayKeys, IndexedTextsHaveTheirLines) {
    struct Case {
        const char* key;
        size_t lines;
    } cases[] = {
        {"GI_App_InitialFile", 4},        {"GI_AppInd_Model", 4},
        {"GI_AppInd_Button_OkCancel", 2}, {"GI_AppInd_Opt_ComSel_Buttons", 2},
        {"GI_Sys_Dialog_FOpen", 2},       {"GI_Sys_Printer_PrintingDialog", 3},
        {"GI_Mess_CloneErr_Head", 20},    {"GI_Mess_CloneErr_Check", 9},
        {"GI_Mess_Clone_Progress", 7},    {"GI_Mess_CloneInfo_TenKey", 2},
        {"GI_Compare_Window", 4},       {"GI_Mess_FileErr_Why", 14},
    };
    for (const Case& c : cases) EXPECT_GE(OvlLines(c.key).size(), c.lines) << c.key;
    for (const char* key :
         {"GI_Sys_TreeChangeDelay", "GI_Sys_Printer_FontPoints", "GI_Sys_Printer_FrameFont"})
        EXPECT_GT(LeadingInteger(OvlText(key)), 0) << key;
    std::istringstream margins(OvlText("GI_Sys_Printer_Margins"));
    int fields = 0;
    for (std::string field; std::getline(margins, field, ',');) {
        EXPECT_GE(LeadingInteger(field), 0);
        ++fields;
    }
    EXPECT_EQ(fields, 4);
    // The clone error for a port that cannot be opened names the port.
    EXPECT_NE(OvlText("GI_Mess_CloneErr_Head", 2).find('%'), std::string::npos);
    EXPECT_NE(OvlText("GI_Mess_Confirm_WriteFile").find("%s"), std::string::npos);
}

// The items of a menu, tool bar or popup body with the cells they name.
std::vector<CellDesc> Items(const std::string& key, bool toolBar) {
    CellParser parser(MainOverlay());
    Counters counters{};
    CellDesc basic;
    parser.ParseCell(OvlText(key + "_BasicCell"), basic, nullptr, counters);
    std::vector<CellDesc> items;
    for (const std::string& line : OvlLines(key + "_Body")) {
        const size_t plus = toolBar ? std::string::npos : line.find('+');
        CellDesc d;
        parser.ParseCell(plus == std::string::npos ? line : line.substr(plus + 1), d, &basic,
                         counters);
        items.push_back(d);
    }
    return items;
}

TEST(OverlayMenus, NameCommandsTheDispatcherRunsWithTheUsualShortcuts) {
    std::map<int, std::string> shortcuts;
    for (const char* key : {"GI_Menu_Main", "GI_PMenu_Edit", "GI_PMenu_NoItem"}) {
        for (const CellDesc& item : Items(key, false)) {
            if (!item.Bound()) continue;
            EXPECT_NE(CellDispatcher::HandlerOf(item.cell), nullptr) << CellName(item.cell);
            if (item.action) shortcuts[item.cell] = *item.action;
        }
    }
    EXPECT_EQ(shortcuts[CL_Menu_File_New], "Ctrl+N");
    EXPECT_EQ(shortcuts[CL_Menu_File_Open], "Ctrl+O");
    EXPECT_EQ(shortcuts[CL_Menu_File_Save], "Ctrl+S");
    EXPECT_EQ(shortcuts[CL_Menu_File_Print_Current], "Ctrl+P");
    EXPECT_EQ(shortcuts[CL_Menu_File_Exit], "Ctrl+Q");
    EXPECT_EQ(shortcuts[CL_PMenu_Edit], "Enter");
    EXPECT_EQ(shortcuts[CL_Menu_Edit_Undo], "Ctrl+Z");
    EXPECT_EQ(shortcuts[CL_Menu_Edit_Redo], "Ctrl+Shift+Z; Ctrl+Y");

    // Every popup command is offered; the debug items are marked maker-only.
    std::set<int> popup;
    for (const CellDesc& item : Items("GI_PMenu_Edit", false)) popup.insert(item.cell);
    for (int cell = CL_PMenu_Edit; cell <= CL_PMenu_Help; ++cell)
        EXPECT_TRUE(popup.count(cell)) << CellName(cell);
    for (const CellDesc& item : Items("GI_Menu_Main", false)) {
        if (item.cell >= CL_Menu_Debug_Compare && item.cell <= CL_Menu_Debug_EeWindow) {
            EXPECT_TRUE(item.FreeFlagSet(5)) << CellName(item.cell);
        }
    }

    // The tool bar: new, open, save, the four ports, read, write, information.
    std::vector<int> images, commands;
    for (const CellDesc& button : Items("GI_ToolBar_Main", true)) {
        if (button.Text() == "-") continue;
        images.push_back(button.imageIndex);
        commands.push_back(button.cell);
        EXPECT_FALSE(button.Text().empty()) << "a button needs its hint";
    }
    EXPECT_EQ(images, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(commands, (std::vector<int>{CL_Menu_File_New, CL_Menu_File_Open, CL_Menu_File_Save,
                                          CL_Menu_Port_Com, CL_Menu_Port_Com, CL_Menu_Port_Com,
                                          CL_Menu_Port_Com, CL_Menu_Clone_Read, CL_Menu_Clone_Write,
                                          CL_Menu_Clone_Info}));
}

TEST_F(ShippedOverlayTest, WarningChecksNameNodesOfTheTree) {
    std::set<std::string> actions;
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        for (const std::string& a : TreeActions(variant, true, true)) actions.insert(a);
    }
    CellParser parser(MainOverlay());
    Counters counters{};
    for (const std::string& line : OvlLines("GI_WarningCheckList")) {
        CellDesc d;
        parser.ParseCell(line, d, nullptr, counters);
        EXPECT_EQ(CellName(d.cell).rfind("CL_Check_", 0), 0u) << line;
        ASSERT_TRUE(d.action) << line;
        EXPECT_TRUE(actions.count(*d.action)) << line;
    }
}

// Context help: every line names a cell and a context the manual has.
TEST(OverlayHelp, ContextsNameCellsAndAnchorsOfTheManual) {
    const std::string manual = test::ReadFile(test::DataFile(OvlText("GI_Sys_MyHelpFile")));
    ASSERT_FALSE(manual.empty());
    std::set<int> contexts;
    int lines = 0;
    for (const char* key :
         {"GI_AppItem_Topic_ID", "GI_AppItem_Key_Assign_Topic_ID", "GI_AppItem_Context_ID"}) {
        for (int i = 0;; ++i) {
            const std::string line = HelpOverlay().GetText(key, i);
            if (!line.empty() && line[0] == '#') break;
            const size_t eq = line.find('=');
            ASSERT_NE(eq, std::string::npos) << key << ": " << line;
            contexts.insert(LeadingInteger(std::string_view(line).substr(eq + 1)));
            if (std::string(key) == "GI_AppItem_Context_ID") {
                EXPECT_TRUE(FindCellNumber(line.substr(0, eq))) << line;
            }
            ++lines;
        }
    }
    EXPECT_GT(lines, 0);
    for (int context : contexts)
        EXPECT_NE(manual.find("id=\"context-" + std::to_string(context) + "\""), std::string::npos)
            << "the manual has no anchor for context " << context;
}

}  // namespace
}  // namespace parlo
