#pragma once
// The application's controller: the document and its file, the variant, the
// hidden maker and extended modes, the navigation tree and the current sheet,
// and every menu, tool bar and tree command. It implements what cells ask of
// the application; the main window shows what it decides.
#include <array>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/ChannelTable.h"
#include "app/ChannelClipboard.h"
#include "app/CloneCommands.h"
#include "app/Document.h"
#include "app/EditHistory.h"
#include "app/ImageComparison.h"
#include "app/MainView.h"
#include "cells/CellDispatcher.h"
#include "cells/CellHost.h"
#include "platform/Prompts.h"
#include "platform/SystemClipboard.h"
#include "runtime/Countdown.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"
#include "sheet/RadioTree.h"
#include "sheet/Sheet.h"

namespace parlo {

// The lines of GI_Sys_Dialog_Titles: the titles of the file dialogs that are
// not plain Open and Save As.
enum DialogTitle { kTitleCompare = 0, kTitleImport = 1, kTitleExport = 2 };

class MainController : public CellHost {
public:
    // The clone manager talks to the serial device of the platform unless
    // another is given (tests).
    MainController(AppSettings& env, MainView& view,
                   std::unique_ptr<CloneManager> cloneManager = nullptr);
    ~MainController() override;
    MainController(const MainController&) = delete;
    MainController& operator=(const MainController&) = delete;

    // The window set-up: the variant from the settings, its factory image as
    // a new document, the tree and the first node's sheet. A factory image
    // that cannot be read is a program error.
    void Start(int argc = 0, char** argv = nullptr);
    // The files named on a command line, as absolute paths: every argument
    // after the program's own but the maker switch and options ("-...");
    // after "--" every argument but the maker switch is a file.
    static std::vector<std::string> FileArguments(int argc, char** argv);
    // The 50 ms housekeeping: the due warning check, and the selected node's
    // sheet when none is shown.
    void Tick();

    Document& Doc() { return doc_; }
    // The bus the windows of the document talk over.
    EventManager& Events() { return bus_; }
    CellDispatcher& Cells() { return cells_; }
    RadioTree* Tree() { return tree_.get(); }
    Sheet* CurrentSheet() { return sheet_.get(); }
    const std::string& SheetAction() const { return sheetAction_; }
    bool MakerMode() const { return doc_.Modes().maker; }
    bool ExtendedMode() const { return doc_.Modes().extended; }
    std::string Title();

    // Commands.
    void New();
    void OpenDialog();
    bool Open(const std::string& path);
    bool SaveAs();
    bool Save(const std::string& path);
    // Yes (6), No (7) or Cancel (2); mode 1 when another copy of the file is
    // meant.
    MsgAnswer SaveChangesPrompt(int mode);
    void ChangeModel(int variant, bool ask);
    bool CloseQuery();
    void OpenSheet(const std::string& action);
    void CloseSheet();
    void SelectNode(TreeNode* node);
    // The warning check: marks the tree and answers whether any error exists.
    bool CheckWarnings();
    // F1: the manual at the topic of the sheet shown.
    void SheetHelp();
    // Characters typed in the About box: the hidden-mode words.
    void TypedCharacter(char c);
    bool EnableMakerMode();
    // The clone commands (they finish later, when the radio has answered).
    void CloneRead();
    void CloneWrite();
    void CloneInformation();
    // File > Compare with...: the document against a clone file
    // (CompareCommands.cpp). CompareWith shows the differences and returns
    // them (nothing when the file was refused or the user cancelled the
    // comparison).
    void CompareDialog();
    std::optional<ImageDifferences> CompareWith(const std::string& path);
    // Shows a difference: its sheet, with the cell current where it may be.
    void GoToDifference(const CellDifference& difference);
    CloneManager& Cloning() { return *cloneManager_; }
    // While on, the clone protocol's trace goes to the bus as log lines
    // (for the free debug window).
    void TraceCloning(bool on);
    bool TracingClones() const { return tracing_; }
    const CloneCommands& Clones() const { return *clones_; }
    // Undo and redo of the changes of the working image (UndoCommands.cpp).
    void Undo();
    void Redo();
    const EditHistory& Edits() const { return edits_; }
    // The entry the sheets operate their cells through: every operation that
    // changes the working image becomes a step of the edit history.
    DispatchFunction SheetEntry();
    // The channels as a table (CSV, a workbook, a list of the CHIRP
    // program), and the system clipboard as tab-separated text
    // (TableCommands.cpp). Import and export are false when refused or
    // failed, after telling the user.
    void ImportChannelsDialog();
    void ExportChannelsDialog();
    bool ImportChannelsFrom(const std::string& path);
    bool ExportChannelsTo(const std::string& path, const TableExport& how = {});
    // The desktop's clipboard (not owned; nullptr: one inside the process).
    void SetSystemClipboard(SystemClipboard* clipboard) {
        systemClipboard_ = clipboard != nullptr ? clipboard : &processClipboard_;
    }

    // CellHost.
    void RunCommand(int cell, int32_t index, const CellContext& context) override;
    ItemState CommandState(int cell, int32_t index) override;
    void RunRowCommand(RowCommand command, CellContext& context, ChannelRecord& record, int first,
                       int last) override;
    void ContextHelp(int category, int cell, int32_t index) override;
    void CellEdited() override;
    const EepromImage* CompareBase() override { return &compareBase_; }

    // Makes port n the one in use and tells the windows.
    void UsePort(int port);

private:
    // A command of menu items, tool buttons and tree nodes: what choosing
    // it does and the state its item shows; either may be none
    // (CommandTable.cpp).
    struct Command {
        int cell;
        void (*run)(MainController& main, int32_t index, const CellContext& context);
        ItemState (*state)(MainController& main, int32_t index);
    };
    static const Command kCommands[];
    static const Command* FindCommand(int cell);
    static void PrintCommand(MainController& main, int32_t index, const CellContext& context);
    static void VariantCommand(MainController& main, int32_t index, const CellContext& context);
    // Shown only in the maker's mode.
    static ItemState MakerOnly(MainController& main, int32_t index);

    struct SheetPosition {
        std::string action;
        int col, row, leftCol, topRow;
    };

    // Edits are checked for warnings once they have rested this long.
    static constexpr uint32_t kWarningDelayMs = 250;

    void OnEvent(const EventRecord& event);
    // The document holds another image (New, Open, a clone read): a new
    // edit history, the tree of its variant when that changed, its bank
    // names, the views and the title follow.
    void DocumentReplaced(int variantBefore);
    void SelectModel(int variant);
    void BuildTree();
    void RebuildVariableBranches();
    void PostBankCaptions();
    void RefreshTitle();
    void RecordFolder(const std::string& path);
    std::string HelpFile() const;
    void GoToSheet(const std::string& action);
    void CompareWithBase();
    bool Confirm(const std::string& key);
    // Port and speed from the settings, for the next clone operation.
    void ConfigurePort();
    // The edit history (UndoCommands.cpp).
    int Dispatch(CellContext& context, int mode);
    void ResetEdits();
    std::string EditName(const CellContext& context) const;
    std::string StepCaption(const char* key, const std::string& step) const;
    void ArriveAt(const EditHistory::Arrival& arrival);
    void ShowPlace(const EditPlace& place);
    int SheetTopic() const;
    // Copy and paste of cell texts (TableCommands.cpp).
    void CopyRowsAsText(const CellContext& context, int first, int last);
    bool PasteText(CellContext& context, const std::string& text);
    // The status bar: the port and speed in use, and what a command did
    // (a line of GI_Status_Command with `value` in place of its %s).
    std::string PortInUse() const;
    void ShowPort();
    void ShowResult(int line, const std::string& value);

    AppSettings& env_;
    MainView& view_;
    EventManager bus_;
    Document doc_{bus_};
    CellDispatcher cells_{doc_.Scope(), this};
    ChannelClipboard clipboard_;
    std::unique_ptr<CloneManager> cloneManager_;
    std::unique_ptr<CloneCommands> clones_;
    std::unique_ptr<RadioTree> tree_;
    std::unique_ptr<Sheet> sheet_;
    std::string sheetAction_;
    std::list<SheetPosition> history_;
    bool deleting_ = false;
    bool tracing_ = false;
    std::string currentDirectory_;
    EepromImage compareBase_;  // what the debug lists compare the working image with
    Countdown warningDelay_;
    std::string makerWord_, extendedWord_;
    EditHistory edits_;
    bool operating_ = false;                 // a sheet's operation is under way
    std::string rowStep_;                    // the step a row command names
    std::optional<EditPlace> continuation_;  // an edit the next one on its cell continues
    ProcessClipboard processClipboard_;
    SystemClipboard* systemClipboard_ = &processClipboard_;
    std::string copiedText_;  // what the last copy put on the system clipboard
    EventSubscription events_;
};

}  // namespace parlo
