#include "app/MainController.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "app/FileMessages.h"
#include "cells/BankCaption.h"
#include "cells/CellNames.h"
#include "clone/CloneFileOps.h"
#include "clone/CloneMessages.h"
#include "model/BankMap.h"
#include "model/ChannelArray.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayMessage.h"
#include "overlay/OverlayText.h"
#include "platform/DocumentFile.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "platform/ProgramInfo.h"
#include "sheet/SheetFactory.h"

namespace parlo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMakerWord = "kestrel";
constexpr const char* kMakerSwitch = "/kestrel";
constexpr const char* kExtendedWord = "moorhens";

bool SamePathNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }
std::string FolderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

// The number a "name=number" list of the help overlay gives `name`; 0 when
// it lists no such name.
int HelpNumber(const char* list, const std::string& name) {
    for (int i = 0;; ++i) {
        const std::string line = HelpOverlay().GetText(list, i);
        if (line.empty() || line[0] == '#') return 0;
        const size_t eq = line.find('=');
        if (eq == name.size() && line.compare(0, eq, name) == 0)
            return LeadingInteger(std::string_view(line).substr(eq + 1));
    }
}

// Lines of GI_Status_Command.
enum StatusLine {
    kStatusNew,
    kStatusOpened,
    kStatusSaved,
    kStatusRead,
    kStatusWritten,
    kStatusInformation,
    kStatusReadFailed,
    kStatusWriteFailed,
    kStatusInformationFailed
};

// A rolling buffer of the last `length` characters typed.
void Roll(std::string& buffer, char c, size_t length) {
    buffer.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (buffer.size() > length) buffer.erase(0, buffer.size() - length);
}

}  // namespace

MainController::MainController(AppSettings& env, MainView& view,
                               std::unique_ptr<CloneManager> cloneManager)
    : env_(env),
      view_(view),
      cloneManager_(cloneManager ? std::move(cloneManager) : std::make_unique<CloneManager>()),
      clones_(std::make_unique<CloneCommands>(doc_, *cloneManager_)) {
    cloneManager_->SetView(view_.CloneProgress());
    currentDirectory_ = env.CurrentDirectory();
    events_ = Events().Subscribe([this](const EventRecord& event) { OnEvent(event); });
}

MainController::~MainController() {
    events_.Cancel();
    view_.ShowSheet(nullptr);
    sheet_.reset();
    tree_.reset();
}

// ---- Start and housekeeping ---------------------------------------------------

void MainController::Start(int argc, char** argv) {
    int variant = env_.ModelType();
    if (variant < 0 || variant >= kVariantCount) variant = kVariantLmr;
    SelectModel(variant);
    doc_.NewFromDefaults();
    ResetEdits();
    compareBase_.Assign(doc_.Defaults());
    RefreshTitle();
    BuildTree();
    view_.SetToolBarVisible(env_.ToolbarVisible());
    ShowPort();
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        std::transform(arg.begin(), arg.end(), arg.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (arg == kMakerSwitch) EnableMakerMode();
    }
}

std::vector<std::string> MainController::FileArguments(int argc, char** argv) {
    std::vector<std::string> files;
    bool options = true;  // until "--", after which every word is a file
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
            continue;
        }
        if (arg.empty() || (options && arg[0] == '-') || SamePathNoCase(arg, kMakerSwitch))
            continue;
        std::error_code ec;
        const fs::path absolute = fs::absolute(arg, ec);
        files.push_back(ec ? arg : absolute.lexically_normal().string());
    }
    return files;
}

void MainController::Tick() {
    if (warningDelay_.IsRunning() && warningDelay_.Remaining() == 0) {
        CheckWarnings();
        Events().Post(ev::kWarningsChecked);
    }
    if (sheet_ == nullptr && tree_ != nullptr && tree_->Selected() != nullptr)
        SelectNode(tree_->Selected());
}

// ---- Title and document state -------------------------------------------------

std::string MainController::Title() {
    const std::string name = doc_.FileName().empty() ? "Untitled" : FileNameOf(doc_.FileName());
    return (doc_.IsModified() ? "*" : "") + name + " - " + OvlText("GI_Sys_AppTitle");
}

void MainController::RefreshTitle() { view_.SetTitle(Title()); }

void MainController::RecordFolder(const std::string& path) {
    currentDirectory_ = FolderOf(path);
    env_.SetCurrentDirectory(currentDirectory_);
}

MsgAnswer MainController::SaveChangesPrompt(int mode) {
    Events().Send(ev::kFinishEdits);
    if (!doc_.IsModified()) return MsgAnswer::Yes;
    const std::string text =
        mode == 1 ? OvlMessage("GI_Mess_Confirm_WriteAnother")
                  : FormatText(OvlMessage("GI_Mess_Confirm_WriteFile"),
                               {doc_.FileName().empty() ? std::string("Untitled")
                                                        : FileNameOf(doc_.FileName())});
    const MsgAnswer answer = prompts().Message(OvlText("GI_Sys_AppTitle"), text, MsgIcon::Warning,
                                               MsgButtons::YesNoCancel);
    if (answer != MsgAnswer::Yes) return answer;
    const bool saved = doc_.FileName().empty() || mode == 1 ? SaveAs() : Save(doc_.FileName());
    return saved ? MsgAnswer::Yes : MsgAnswer::Cancel;
}

// ---- File commands -------------------------------------------------------------

void MainController::New() {
    if (SaveChangesPrompt(0) == MsgAnswer::Cancel) return;
    doc_.NewFromDefaults();
    DocumentReplaced(doc_.Variant());
    ShowResult(kStatusNew, OvlText("GI_AppInd_Model", doc_.Variant()));
}

void MainController::OpenDialog() {
    const auto path = view_.ChooseOpenPath(currentDirectory_, OvlText("GI_Sys_Dialog_FOpen", 0),
                                           OvlText("GI_Sys_Dialog_FOpen", 1), std::string());
    if (path) Open(*path);
}

bool MainController::Open(const std::string& path) {
    // A file that cannot be read is said so at once, before the question
    // about unsaved changes, and a FIFO or device is never opened.
    if (const FileFailure why = DocumentFileProblem(path); why.problem != FileProblem::None) {
        ShowFileOutcome({kFileErrOpen, FileErrorText(kFileErrOpen, path, why)});
        return false;
    }
    const int mode = SamePathNoCase(path, doc_.FileName()) ? 1 : 0;
    if (SaveChangesPrompt(mode) == MsgAnswer::Cancel) return false;
    EepromImage loaded;
    if (ShowFileOutcome(OpenCloneFile(path, doc_.Working(), &loaded)) != kFileOk) return false;
    RecordFolder(path);
    env_.Recent().AddFront(path);
    const int before = doc_.Variant();
    doc_.Working().Assign(loaded);
    doc_.SetFileName(path);
    if (std::string problem; !doc_.AfterLoad(&problem)) fatal(problem);
    env_.SetModelType(static_cast<int8_t>(doc_.Variant()));
    doc_.MarkUnmodified();
    DocumentReplaced(before);
    ShowResult(kStatusOpened, path);
    return true;
}

void MainController::DocumentReplaced(int variantBefore) {
    ResetEdits();
    CloseSheet();
    if (doc_.Variant() != variantBefore) BuildTree();
    PostBankCaptions();
    Events().Send(ev::kDocumentChanged);
    RefreshTitle();
}

bool MainController::SaveAs() {
    const auto path = view_.ChooseSavePath(currentDirectory_, FileNameOf(doc_.FileName()),
                                           OvlText("GI_Sys_Dialog_FOpen", 0),
                                           OvlText("GI_Sys_Dialog_FOpen", 1), std::string());
    return path && Save(*path);
}

bool MainController::Save(const std::string& path) {
    Events().Send(ev::kFinishEdits);
    // The file gets the image brought up to date; the document takes that
    // image only once it is saved, so a failed save changes nothing of it.
    EepromImage saved;
    saved.Assign(doc_.Working());
    doc_.PrepareImage(saved, PackMode::Save);
    if (ShowFileOutcome(SaveCloneFile(path, saved)) != kFileOk) return false;
    doc_.Working().Assign(saved);
    edits_.Absorb(doc_.Working());  // the packing is no step of its own
    RecordFolder(path);
    doc_.SetFileName(path);
    env_.Recent().AddFront(path);
    doc_.MarkUnmodified();
    RefreshTitle();
    ShowResult(kStatusSaved, path);
    return true;
}

bool MainController::CloseQuery() { return SaveChangesPrompt(0) != MsgAnswer::Cancel; }

// ---- Variants ---------------------------------------------------------------------

void MainController::SelectModel(int variant) {
    std::string problem;
    if (!doc_.SelectModel(variant, &problem)) fatal(problem);
    env_.SetModelType(static_cast<int8_t>(variant));
}

void MainController::ChangeModel(int variant, bool ask) {
    if (variant == doc_.Variant()) return;
    if (ask && !Confirm("GI_AppMess_ChangeModel")) return;
    SelectModel(variant);
    if (ask) doc_.NewFromDefaults();
    BuildTree();
    // A new document starts a new history; the same image under another
    // variant is a step.
    if (ask)
        ResetEdits();
    else
        edits_.Record("Model change", doc_.Working(), doc_.Variant(), EditPlace{});
    RefreshTitle();
    if (ask) ShowResult(kStatusNew, OvlText("GI_AppInd_Model", variant));
}

bool MainController::Confirm(const std::string& key) {
    return ShowOverlayMessage(key, MsgIcon::Warning, MsgButtons::OkCancel) == MsgAnswer::Ok;
}

// ---- Tree and sheets -------------------------------------------------------------

void MainController::BuildTree() {
    CloseSheet();
    tree_ = std::make_unique<RadioTree>(MainOverlay(), "GI_Tree_Main", doc_.Scope());
    tree_->Build();
    Events().Send(ev::kDocumentChanged);
    if (!tree_->Root().children.empty()) tree_->Select(tree_->Root().children.front().get());
    view_.TreeChanged(*tree_);
}

void MainController::RebuildVariableBranches() {
    if (tree_ == nullptr) return;
    tree_->RebuildVariableBranches();
    PostBankCaptions();
    for (int bank = 0; bank < kBankCount; ++bank)
        tree_->SetBankCaption(bank, BankCaption(doc_.Working(), bank));
    Events().Send(ev::kViewsRefresh);
    view_.TreeChanged(*tree_);
}

void MainController::PostBankCaptions() {
    for (int bank = 0; bank < kBankCount; ++bank)
        Events().Post(ev::kBankCaption, {bank, BankCaption(doc_.Working(), bank)});
}

void MainController::SelectNode(TreeNode* node) {
    if (tree_ == nullptr || node == nullptr) return;
    tree_->Select(node);
    if (sheet_ != nullptr && node->Action() == sheetAction_) return;
    CheckWarnings();
    if (node->desc.action) OpenSheet(*node->desc.action);
}

void MainController::OpenSheet(const std::string& action) {
    CloseSheet();
    Sheet::Params params;
    params.overlay = &MainOverlay();
    params.fontPercent = env_.FontSizePercentage();
    sheet_ = CreateSheet(action, params, doc_.Scope(), SheetEntry());
    sheetAction_ = action;
    sheet_->Build(view_.MeasureCanvas());
    for (const SheetPosition& p : history_) {
        if (p.action == action) {
            sheet_->SetScrollPosition(p.col, p.row, p.leftCol, p.topRow);
            break;
        }
    }
    view_.ShowSheet(sheet_.get());
}

void MainController::CloseSheet() {
    if (sheet_ == nullptr) return;
    history_.remove_if([&](const SheetPosition& p) { return p.action == sheetAction_; });
    history_.push_front(SheetPosition{sheetAction_, sheet_->Col(), sheet_->Row(), sheet_->LeftCol(),
                                      sheet_->TopRow()});
    view_.ShowSheet(nullptr);
    sheet_.reset();
    sheetAction_.clear();
}

// ---- Warning check ----------------------------------------------------------------

bool MainController::CheckWarnings() {
    warningDelay_ = Countdown{};
    if (tree_ == nullptr) return false;
    std::vector<std::string> errors, warnings;
    std::map<std::string, std::pair<int, int>> counts;  // channels with errors, warnings
    auto evaluate = [&](const CellDesc& d) {
        CellContext ctx;
        ctx.desc = &d;
        cells_.Handle(ctx, kModeDraw);
        const std::string action = d.action.value_or("");
        counts[action] = {ctx.errorRecords, ctx.warningRecords};
        if (ctx.warningMarks & kMarkError)
            errors.push_back(action);
        else if (ctx.warningMarks & kMarkWarning)
            warnings.push_back(action);
    };
    CellParser parser(MainOverlay());
    Counters counters{};
    for (const std::string& line : OvlLines("GI_WarningCheckList")) {
        CellDesc d;
        parser.ParseCell(line, d, nullptr, counters);
        evaluate(d);
    }
    for (int bank = 0; bank < doc_.BanksShown(); ++bank) {
        CellDesc d;
        parser.ParseCell(Format("{(%%CL_Check_Mch:[St_ChBank]GI_Sheet_Mch_%s,Bank %d)}",
                                ChannelSheetName(doc_.Variant()), bank),
                         d, nullptr, counters);
        evaluate(d);
    }
    tree_->ClearMarks(&tree_->Root());
    tree_->Mark(&tree_->Root(), warnings, 1);
    tree_->Mark(&tree_->Root(), errors, 0);
    tree_->ForEach([&](TreeNode& n) {
        const auto it = counts.find(n.Action());
        if (n.overlay < 0 || it == counts.end()) return;
        n.errorChannels = it->second.first;
        n.warningChannels = it->second.second;
    });
    Events().Post(ev::kBankImages);
    Events().Post(ev::kViewsRefresh);
    view_.TreeChanged(*tree_);
    return !errors.empty();
}

void MainController::CellEdited() {
    doc_.RebuildModelData();
    warningDelay_.Start(kWarningDelayMs);
    RefreshTitle();
}

// ---- Hidden modes --------------------------------------------------------------------

bool MainController::EnableMakerMode() {
    if (doc_.Modes().maker) return true;
    if (!Confirm("GI_Mess_Maker_Caution")) return false;
    doc_.Modes().maker = true;
    view_.SetMakerPanel(OvlText("GI_StatusPanel_Maker"));
    BuildTree();
    return true;
}

void MainController::TypedCharacter(char c) {
    Roll(makerWord_, c, 7);
    if (makerWord_ == kMakerWord) EnableMakerMode();
    if (doc_.Variant() != kVariantDPmr446 || doc_.Modes().extended) return;
    Roll(extendedWord_, c, 8);
    if (extendedWord_ == kExtendedWord && Confirm("GI_Mess_Extended_Caution")) {
        doc_.Modes().extended = true;
        RebuildVariableBranches();
    }
}

// ---- Commands ---------------------------------------------------------------------------

std::string MainController::HelpFile() const { return DataDir() + OvlText("GI_Sys_MyHelpFile"); }

void MainController::UsePort(int port) {
    env_.SetComPort(port);
    Events().Send(ev::kPortChanged);
    ShowPort();
}

// A sheet called from a cell opens through its tree node where it has one,
// so the tree follows.
void MainController::GoToSheet(const std::string& action) {
    if (tree_ != nullptr) {
        if (TreeNode* node = tree_->FindNode(action)) {
            SelectNode(node);
            return;
        }
    }
    OpenSheet(action);
}

// Each list shows the changes since the one before.
void MainController::CompareWithBase() {
    std::string lines;
    if (compareBase_.GetSize() != doc_.Working().GetSize()) {
        lines = "Not match size !\n";
    } else {
        for (int32_t a = 0; a < compareBase_.GetSize(); ++a) {
            if (compareBase_.GetByte(a) != doc_.Working().GetByte(a))
                lines += Format("%04X : %02X -> %02X\n", static_cast<unsigned>(a),
                                compareBase_.GetByte(a), doc_.Working().GetByte(a));
        }
    }
    compareBase_.Assign(doc_.Working());
    view_.ShowCompareList(lines);
}

// The help overlay lists "cell name=context number" lines; the help file
// opens at that context, else at the current sheet's topic.
void MainController::ContextHelp(int, int cell, int32_t) {
    const int context = HelpNumber("GI_AppItem_Context_ID", CellName(cell));
    view_.OpenHelp(HelpFile(), context != 0 ? context : SheetTopic());
}

void MainController::SheetHelp() { view_.OpenHelp(HelpFile(), SheetTopic()); }

// The topic of the sheet shown, or of the selected node's sheet while none
// is; 0 (the contents) for a sheet the help overlay does not list.
int MainController::SheetTopic() const {
    std::string action = sheetAction_;
    if (action.empty() && tree_ != nullptr && tree_->Selected() != nullptr)
        action = tree_->Selected()->Action();
    if (action.empty()) return 0;
    return HelpNumber("GI_AppItem_Topic_ID", NodeAction::Split(action).key);
}

// ---- Cloning ------------------------------------------------------------------------------

void MainController::TraceCloning(bool on) {
    tracing_ = on;
    if (!on) {
        cloneManager_->SetTrace(nullptr);
        return;
    }
    cloneManager_->SetTrace([this](const std::string& line) { bus_.Post(ev::kDebugText, {line}); });
}

void MainController::ConfigurePort() {
    const int port = env_.ComPort();
    cloneManager_->SetPort(port, env_.PortDevice(port));
    cloneManager_->SetHighSpeed(env_.ComSpeedHigh());
}

void MainController::CloneRead() {
    if (SaveChangesPrompt(0) == MsgAnswer::Cancel || cloneManager_->IsBusy()) return;
    ConfigurePort();
    // The read changes the variant to the radio's before it reports.
    const int before = doc_.Variant();
    clones_->Read([this, before](int outcome) {
        if (outcome != 0) {
            if (outcome != CloneCommands::kCancelled) ShowResult(kStatusReadFailed, PortInUse());
            return;
        }
        // The radio's image is now the document: untitled and modified.
        env_.SetModelType(static_cast<int8_t>(doc_.Variant()));
        DocumentReplaced(before);
        ShowResult(kStatusRead, PortInUse());
    });
}

// A document without channels is refused before the warning check runs.
void MainController::CloneWrite() {
    if (cloneManager_->IsBusy()) return;
    if (!clones_->HasChannelsToWrite()) return;
    if (CheckWarnings()) {
        ShowOverlayMessage("GI_Mess_DataError", MsgIcon::Error);
        return;
    }
    Events().Send(ev::kFinishEdits);
    ConfigurePort();
    WriteOptions options;
    options.makerMode = doc_.Modes().maker;
    options.verify = env_.VerifyAfterWrite();
    options.backup = env_.BackupBeforeWrite();
    clones_->Write(options, [this](int outcome) {
        if (outcome == 0) {
            CloseSheet();
            ShowResult(kStatusWritten, PortInUse());
        } else if (outcome != CloneCommands::kCancelled && outcome != CloneCommands::kRefused) {
            ShowResult(kStatusWriteFailed, PortInUse());
        }
    });
}

void MainController::CloneInformation() {
    if (cloneManager_->IsBusy()) return;
    ConfigurePort();
    clones_->Information([this](int outcome) {
        if (outcome == 0) {
            ShowResult(kStatusInformation, PortInUse());
            view_.ShowCloneInformation();
        } else if (outcome != CloneCommands::kCancelled) {
            ShowResult(kStatusInformationFailed, PortInUse());
        }
    });
}

// ---- Status bar -----------------------------------------------------------------------

std::string MainController::PortInUse() const {
    return PortName(env_.ComPort(), env_.PortDevice(env_.ComPort()));
}

void MainController::ShowPort() {
    const long long baud = env_.ComSpeedHigh() ? 38400 : 9600;
    view_.ShowPortStatus(FormatText(OvlText("GI_Status_Port"), {PortInUse(), baud}));
}

void MainController::ShowResult(int line, const std::string& value) {
    view_.ShowCommandResult(FormatText(OvlText("GI_Status_Command", line), {value}));
}

// ---- Events --------------------------------------------------------------------------------

void MainController::OnEvent(const EventRecord& e) {
    if (const StatusText* status = e.Get(ev::kStatusText))
        view_.SetStatus(status->text, status->textColour, status->background);
    if (e.Is(ev::kDocumentChanged)) RebuildVariableBranches();
    if (e.Is(ev::kSetCompareBase)) compareBase_.Assign(doc_.Working());
}

}  // namespace parlo
