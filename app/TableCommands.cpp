// Channels in and out as CSV, and cell texts through the system clipboard:
// the ways a dealer's spreadsheet meets the sheets.
#include "app/CellTyping.h"
#include "app/ChannelTable.h"
#include "app/MainController.h"
#include "cells/CellIds.h"
#include "clone/CloneFile.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "platform/DocumentFile.h"
#include "platform/Fatal.h"
#include "platform/SafeFile.h"
#include "sheet/BankSheet.h"
#include "sheet/CsvTable.h"

namespace parlo {

namespace {

// A message box of the overlay's text for `key`, its %s filled, and why.
void ShowMessage(const char* key, const std::string& detail, MsgIcon icon,
                 const std::string& why = {}) {
    std::string text = FormatText(OvlMessage(key), {detail});
    if (!why.empty()) text += "\n" + why;
    prompts().Message(OvlText("GI_Sys_AppTitle"), text, icon, MsgButtons::Ok);
}

// A long list of refusals or notes is cut where a message box would no
// longer fit; `more` were not even kept.
std::string RefusalList(const std::vector<std::string>& refusals, size_t more = 0) {
    constexpr size_t kShown = 20;
    std::string list;
    for (size_t i = 0; i < refusals.size() && i < kShown; ++i) list += refusals[i] + "\n";
    const size_t rest = refusals.size() > kShown ? refusals.size() - kShown + more : more;
    if (rest > 0)
        list += FormatText(OvlText("GI_AppMess_Import_More"), {static_cast<long long>(rest)});
    return list;
}

std::string WithExtension(const std::string& name, const std::string& extension) {
    const size_t dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + "." + extension;
}

// The kinds of the export dialog's type list, in its order. The name's
// extension has the last word between a workbook and text: a file named
// .xlsx is a workbook, one named otherwise never is.
TableExport ExportOfChoice(int filter, const std::string& path) {
    TableExport how;
    if (filter == 1) how.separator = ';';
    if (filter == 3) how.format = TableFormat::Chirp;
    if (NamesAWorkbook(path)) {
        how = TableExport();
        how.format = TableFormat::Workbook;
    }
    return how;
}

}  // namespace

void MainController::ImportChannelsDialog() {
    const auto path = view_.ChooseOpenPath(currentDirectory_, OvlText("GI_Sys_Dialog_FTable", 0),
                                           OvlText("GI_Sys_Dialog_FTable", 1),
                                           OvlText("GI_Sys_Dialog_Titles", kTitleImport));
    if (path) ImportChannelsFrom(*path);
}

void MainController::ExportChannelsDialog() {
    const std::string name =
        doc_.FileName().empty() ? std::string() : WithExtension(doc_.FileName(), "csv");
    int filter = 0;
    const auto path = view_.ChooseSavePath(
        currentDirectory_, name.substr(name.find_last_of('/') + 1),
        OvlText("GI_Sys_Dialog_FExport", 0), OvlText("GI_Sys_Dialog_FExport", 1),
        OvlText("GI_Sys_Dialog_Titles", kTitleExport), &filter);
    if (path) ExportChannelsTo(*path, ExportOfChoice(filter, *path));
}

// The sheet on screen tells the cells which bank they show; while the
// table's own bank sheets do that, it is closed, and opened again after. A
// list of the CHIRP program goes into the bank on screen (else bank 1).
bool MainController::ImportChannelsFrom(const std::string& path) {
    Events().Send(ev::kFinishEdits);
    TableImport how;
    if (auto* bank = dynamic_cast<BankSheet*>(sheet_.get())) how.bank = bank->Bank();
    const std::string action = sheetAction_;
    CloseSheet();
    const Document::ModifiedState modified = doc_.CurrentModifiedState();
    const ImportOutcome outcome = ImportChannelFile(doc_, cells_.Entry(), path, how);
    if (!outcome.Ok()) doc_.RestoreModifiedState(modified);
    if (outcome.Ok() &&
        edits_.Record("Import channels", doc_.Working(), doc_.Variant(), EditPlace{action, {}}))
        doc_.MarkModified();
    continuation_.reset();
    PostBankCaptions();
    Events().Send(ev::kDocumentChanged);
    warningDelay_.Start(kWarningDelayMs);
    if (!action.empty()) GoToSheet(action);
    RefreshTitle();
    if (outcome.unreadable.problem != FileProblem::None) {
        // Only a regular file is read: a FIFO would hold the window.
        ShowMessage("GI_AppMess_Import_Unreadable", path, MsgIcon::Error,
                    FileFailureText(outcome.unreadable));
        return false;
    }
    if (outcome.librariesMissing) {
        // Nothing in the file was refused: it could not be read here.
        ShowMessage("GI_AppMess_Import_Unreadable", path, MsgIcon::Error, outcome.refusals.front());
        return false;
    }
    if (!outcome.Ok()) {
        ShowMessage("GI_AppMess_Import_Refused",
                    RefusalList(outcome.refusals, outcome.moreRefusals), MsgIcon::Error);
        return false;
    }
    RecordFolder(path);
    view_.ShowCommandResult(
        FormatText(OvlText("GI_AppInd_Import_Done"), {static_cast<long long>(outcome.rows), path}));
    if (!outcome.notes.empty())
        ShowMessage("GI_AppMess_Import_Notes", RefusalList(outcome.notes, outcome.moreNotes),
                    MsgIcon::Information);
    return true;
}

bool MainController::ExportChannelsTo(const std::string& path, const TableExport& how) {
    Events().Send(ev::kFinishEdits);
    const std::string action = sheetAction_;
    CloseSheet();
    const ExportOutcome table = ExportChannelTable(doc_, cells_.Entry(), how);
    if (!action.empty()) GoToSheet(action);
    if (!table.Ok()) {
        ShowMessage("GI_AppMess_Export_Failed", path, MsgIcon::Error, table.error);
        return false;
    }
    SafeFileWriter writer;
    const bool begun = writer.Open(path);
    const bool written = begun && writer.Write(table.bytes.data(), table.bytes.size());
    if (!begun || !writer.Commit() || !written) {
        ShowMessage("GI_AppMess_Export_Failed", path, MsgIcon::Error,
                    SaveFailureText(writer, begun));
        return false;
    }
    RecordFolder(path);
    view_.ShowCommandResult(FormatText(OvlText("GI_AppInd_Export_Done"), {path}));
    if (!table.notes.empty())
        ShowMessage("GI_AppMess_Export_Notes", RefusalList(table.notes), MsgIcon::Information);
    return true;
}

namespace {

// The cell at a place of a sheet; rows past a bank sheet's last continue its
// channels, for a paste that adds channels.
std::optional<CellDesc> CellAt(Sheet& sheet, int col, int row) {
    if (col < 0 || col >= sheet.ColCount() || row < 0) return std::nullopt;
    if (row < sheet.RowCount()) return sheet.Cell(col, row);
    auto* bank = dynamic_cast<BankSheet*>(&sheet);
    const int last = sheet.RowCount() - 1;
    if (bank == nullptr || last < bank->FirstChannelRow()) return std::nullopt;
    CellDesc d = sheet.Cell(col, last);
    if (d.category != CT_Mch) return std::nullopt;
    d.index += row - last;
    return d;
}

// The columns a line of pasted text fills: from `col` rightwards, one per
// cell (a join cell continues its neighbour's text and takes none).
std::vector<int> TextColumns(Sheet& sheet, int row, int col) {
    std::vector<int> cols;
    const int shape = std::min(row, sheet.RowCount() - 1);
    for (int c = col; c < sheet.ColCount(); ++c) {
        if (c == col || !sheet.Cell(c, shape).Join()) cols.push_back(c);
    }
    return cols;
}

}  // namespace

// The texts of the copied rows, one line per row, a tab between cells.
void MainController::CopyRowsAsText(const CellContext& ctx, int first, int last) {
    if (ctx.sheet == nullptr || ctx.desc == nullptr || ctx.col < 0) return;
    Sheet& sheet = *ctx.sheet;
    std::vector<std::vector<std::string>> lines;
    for (int r = 0; r < sheet.RowCount(); ++r) {
        const CellDesc& d = sheet.Cell(ctx.col, r);
        if (d.cell != ctx.desc->cell || d.index < first || d.index > last) continue;
        std::vector<std::string> line;
        for (int c = 0; c < sheet.ColCount(); ++c) {
            if (!sheet.Cell(c, r).Join()) line.push_back(TrimBlanks(sheet.CellText(c, r)));
        }
        lines.push_back(std::move(line));
    }
    if (lines.empty()) return;
    copiedText_ = CsvTable::Write(lines, '\t', "\n");
    systemClipboard_->SetText(copiedText_);
}

// Types the tab-separated values into the cells from the cursor rightwards
// and downwards; any value refused, and the image is left as it was.
bool MainController::PasteText(CellContext& ctx, const std::string& text) {
    if (ctx.sheet == nullptr) return false;
    std::vector<CsvRecord> lines;
    std::string error;
    if (!CsvTable::Read(text, '\t', &lines, &error)) {
        ShowMessage("GI_AppMess_Paste_Refused", error, MsgIcon::Error);
        return false;
    }
    EepromImage before;
    before.Assign(doc_.Working());
    const Document::ModifiedState modified = doc_.CurrentModifiedState();
    std::string refused;
    {
        CellTyping typing(cells_.Entry(), doc_.Working());
        for (size_t i = 0; i < lines.size() && refused.empty(); ++i) {
            const int row = ctx.row + static_cast<int>(i);
            const std::vector<int> cols = TextColumns(*ctx.sheet, row, ctx.col);
            std::vector<std::pair<CellDesc, std::string>> values;
            for (size_t j = 0; j < lines[i].fields.size(); ++j) {
                const auto cell = j < cols.size() ? CellAt(*ctx.sheet, cols[j], row) : std::nullopt;
                if (!cell) {
                    refused = Format("'%s' (line %zu, value %zu) has no cell to go to",
                                     lines[i].fields[j].c_str(), i + 1, j + 1);
                    break;
                }
                values.emplace_back(*cell, lines[i].fields[j]);
            }
            // A new or blank channel starts with its receive frequency.
            std::stable_partition(values.begin(), values.end(), [](const auto& v) {
                return v.first.category == CT_Mch && v.first.cell == CL_Mch_FreqR;
            });
            for (const auto& [cell, value] : values) {
                if (!refused.empty()) break;
                const bool typed = cell.Bound() ? typing.Type(cell, value)
                                                : TrimBlanks(cell.Text()) == TrimBlanks(value);
                if (!typed)
                    refused = Format("'%s' (line %zu) was not accepted", value.c_str(), i + 1);
            }
        }
    }
    if (!refused.empty()) {
        doc_.Working().Assign(before);
        doc_.RebuildModelData();
        doc_.RestoreModifiedState(modified);
        RefreshTitle();
        ShowMessage("GI_AppMess_Paste_Refused", refused, MsgIcon::Error);
        return false;
    }
    ctx.redrawFlags |= kRedrawSheet;
    return doc_.Working().Differs(before);
}

}  // namespace parlo
