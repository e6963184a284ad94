// The commands of menu items, tool buttons and tree nodes, one row each:
// what choosing the item does and the state it shows (checked, disabled,
// hidden, its caption). The keys that choose them are those the overlay's
// menus give their items.
#include <algorithm>
#include <iterator>

#include "app/MainController.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"

namespace parlo {

namespace {

using M = MainController;
using Context = const CellContext&;

}  // namespace

void MainController::PrintCommand(M& m, int32_t, Context c) {
    m.Events().Send(ev::kFinishEdits);
    m.view_.Print(c.desc->cell == CL_Menu_File_Print_All);
}

void MainController::VariantCommand(M& m, int32_t, Context c) {
    m.ChangeModel(c.desc->cell - CL_Model_Lmr, true);
}

ItemState MainController::MakerOnly(M& m, int32_t) {
    ItemState s;
    s.hidden = !m.doc_.Modes().maker;
    return s;
}

const MainController::Command MainController::kCommands[] = {
    {CL_Menu_File_New, [](M& m, int32_t, Context) { m.New(); }, nullptr},
    {CL_Menu_File_Open, [](M& m, int32_t, Context) { m.OpenDialog(); }, nullptr},
    {CL_Menu_File_Save,
     [](M& m, int32_t, Context) {
         if (m.doc_.FileName().empty())
             m.SaveAs();
         else
             m.Save(m.doc_.FileName());
     },
     nullptr},
    {CL_Menu_File_SaveAs, [](M& m, int32_t, Context) { m.SaveAs(); }, nullptr},
    {CL_Menu_File_Print_Current, &M::PrintCommand,
     [](M& m, int32_t) {
         ItemState s;
         s.disabled = m.sheet_ == nullptr || !m.sheet_->Printable();
         return s;
     }},
    {CL_Menu_File_Print_All, &M::PrintCommand, nullptr},
    {CL_Menu_File_Recent,
     [](M& m, int32_t index, Context) {
         const std::string path = m.env_.Recent().Entry(index, "");
         if (!path.empty()) m.Open(path);
     },
     [](M& m, int32_t index) {
         ItemState s;
         const std::string entry = m.env_.Recent().Entry(index, m.currentDirectory_);
         if (entry.empty()) {
             s.disabled = index == 0;
             s.hidden = index != 0;
         } else {
             s.caption = Format("&%d %s", index + 1, entry.c_str());
         }
         return s;
     }},
    {CL_Menu_File_Compare, [](M& m, int32_t, Context) { m.CompareDialog(); }, nullptr},
    {CL_Menu_File_ImportChannels, [](M& m, int32_t, Context) { m.ImportChannelsDialog(); },
     nullptr},
    {CL_Menu_File_ExportChannels, [](M& m, int32_t, Context) { m.ExportChannelsDialog(); },
     nullptr},
    {CL_Menu_File_Exit, [](M& m, int32_t, Context) { m.view_.CloseWindow(); }, nullptr},
    {CL_Menu_Edit_Undo, [](M& m, int32_t, Context) { m.Undo(); },
     [](M& m, int32_t) {
         ItemState s;
         s.disabled = !m.edits_.CanUndo();
         s.caption = m.StepCaption("GI_AppInd_Menu_Undo", m.edits_.UndoName());
         return s;
     }},
    {CL_Menu_Edit_Redo, [](M& m, int32_t, Context) { m.Redo(); },
     [](M& m, int32_t) {
         ItemState s;
         s.disabled = !m.edits_.CanRedo();
         s.caption = m.StepCaption("GI_AppInd_Menu_Redo", m.edits_.RedoName());
         return s;
     }},
    {CL_Menu_View_FontSize,
     [](M& m, int32_t index, Context) {
         m.env_.SetFontSizePercentage(index);
         m.CloseSheet();
     },
     [](M& m, int32_t index) {
         ItemState s;
         s.checked = m.env_.FontSizePercentage() == index;
         return s;
     }},
    {CL_Menu_View_ToolBar,
     [](M& m, int32_t, Context) {
         m.env_.SetToolbarVisible(!m.env_.ToolbarVisible());
         m.view_.SetToolBarVisible(m.env_.ToolbarVisible());
     },
     [](M& m, int32_t) {
         ItemState s;
         s.checked = m.env_.ToolbarVisible();
         return s;
     }},
    {CL_Menu_Port_Com, [](M& m, int32_t index, Context) { m.UsePort(index); },
     [](M& m, int32_t index) {
         // Each of COM1-COM4 names the device it opens.
         ItemState s;
         s.checked = m.env_.ComPort() == index;
         s.caption = Format(OvlText("GI_AppInd_Menu_PortDevice").c_str(), static_cast<int>(index),
                            m.env_.PortDevice(index).c_str());
         return s;
     }},
    {CL_Menu_Port_Usb,
     [](M& m, int32_t, Context) {
         if (const auto port = m.view_.ChoosePort(m.env_.ComPort())) m.UsePort(*port);
     },
     [](M& m, int32_t) {
         ItemState s;
         s.checked = m.env_.ComPort() > 4;
         return s;
     }},
    {CL_Menu_Port_SpeedHigh,
     [](M& m, int32_t index, Context) {
         m.env_.SetComSpeedHigh(index != 0);
         m.ShowPort();
     },
     [](M& m, int32_t index) {
         ItemState s;
         s.checked = (m.env_.ComSpeedHigh() ? 1 : 0) == index;
         return s;
     }},
    {CL_Menu_Clone_Read, [](M& m, int32_t, Context) { m.CloneRead(); }, nullptr},
    // Items 1 and 2 are the write's choices: verify, back up.
    {CL_Menu_Clone_Write,
     [](M& m, int32_t index, Context) {
         if (index == 1)
             m.env_.SetVerifyAfterWrite(!m.env_.VerifyAfterWrite());
         else if (index == 2)
             m.env_.SetBackupBeforeWrite(!m.env_.BackupBeforeWrite());
         else
             m.CloneWrite();
     },
     [](M& m, int32_t index) {
         ItemState s;
         s.checked = (index == 1 && m.env_.VerifyAfterWrite()) ||
                     (index == 2 && m.env_.BackupBeforeWrite());
         return s;
     }},
    {CL_Menu_Clone_Info, [](M& m, int32_t, Context) { m.CloneInformation(); }, nullptr},
    {CL_Model_Lmr, &M::VariantCommand, nullptr},
    {CL_Model_Pmr, &M::VariantCommand, nullptr},
    {CL_Model_TarnPmr, &M::VariantCommand, nullptr},
    {CL_Model_DPmr446, &M::VariantCommand, nullptr},
    {CL_Help_About,
     [](M& m, int32_t, Context) {
         m.Events().Post(ev::kAbout);
         m.view_.ShowAbout();
     },
     nullptr},
    {CL_Help_Contents, [](M& m, int32_t, Context) { m.view_.OpenHelp(m.HelpFile(), 0); }, nullptr},
    {CallSheet,
     [](M& m, int32_t, Context c) {
         if (c.desc != nullptr && c.desc->action) m.GoToSheet(*c.desc->action);
     },
     nullptr},
    {CL_Menu_Debug_Compare, [](M& m, int32_t, Context) { m.CompareWithBase(); }, &M::MakerOnly},
    {CL_Menu_Debug_CorrectComp, nullptr, &M::MakerOnly},
    {CL_Menu_Debug_25kCheckComp, nullptr, &M::MakerOnly},
    {CL_Menu_Debug_Window, [](M& m, int32_t, Context) { m.view_.OpenDebugWindow(); },
     &M::MakerOnly},
    {CL_Menu_Debug_EeWindow, [](M& m, int32_t, Context) { m.view_.OpenEepromWindow(); },
     &M::MakerOnly},
};

const MainController::Command* MainController::FindCommand(int cell) {
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [cell](const Command& c) { return c.cell == cell; });
    return found != std::end(kCommands) ? found : nullptr;
}

void MainController::RunCommand(int cell, int32_t index, const CellContext& context) {
    if (const Command* c = FindCommand(cell); c != nullptr && c->run != nullptr)
        c->run(*this, index, context);
}

ItemState MainController::CommandState(int cell, int32_t index) {
    const Command* c = FindCommand(cell);
    return c != nullptr && c->state != nullptr ? c->state(*this, index) : ItemState{};
}

}  // namespace parlo
