#include "app/ChannelColumns.h"

#include <algorithm>
#include <map>

#include "app/CellTyping.h"
#include "app/Document.h"
#include "cells/CellIds.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"

namespace parlo {

namespace {

// A label's first line without its trailing blanks; nothing for bound cells.
std::string LabelAt(Sheet& sheet, int col, int row) {
    while (col > 0 && sheet.Cell(col, row).Join()) --col;
    const CellDesc& d = sheet.Cell(col, row);
    if (d.Bound()) return {};
    return TrimBlanks(d.Text().substr(0, d.Text().find('\n')));
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// "MAR1", "Sep 12", "DEC-2020": a month and a day or year, which
// spreadsheets take for a date.
bool LooksLikeDate(const std::string& upper) {
    static const char* const kMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                          "MAY",     "JUNE",     "JULY",      "AUGUST",
                                          "SEPTEMBER", "SEPT",   "OCTOBER",   "NOVEMBER",
                                          "DECEMBER"};
    for (const char* month : kMonths) {
        const std::string full = month;
        for (size_t length = 3; length <= full.size(); ++length) {
            if (upper.compare(0, length, full, 0, length) != 0) break;
            size_t i = length;
            if (i < upper.size() && std::string(" -/.").find(upper[i]) != std::string::npos) ++i;
            if (i == upper.size()) continue;
            if (std::all_of(upper.begin() + static_cast<long>(i), upper.end(), IsDigit))
                return true;
        }
    }
    return false;
}

bool SpreadsheetWouldConvert(const std::string& name) {
    const std::string trimmed = TrimBlanks(name);
    if (trimmed.empty()) return false;
    if (!IsLetter(trimmed.front())) return true;
    const std::string upper = Upper(trimmed);
    return upper == "TRUE" || upper == "FALSE" || LooksLikeDate(upper);
}

}  // namespace

std::unique_ptr<BankSheet> BuildBankSheet(int bank, Document& doc, const DispatchFunction& cells) {
    const std::string action =
        Format("[St_ChBank]GI_Sheet_Mch_%s,Bank %d", ChannelSheetName(doc.Variant()), bank);
    auto sheet = CreateSheet(action, Sheet::Params{}, doc.Scope(), cells);
    FixedMetricsCanvas measure;
    sheet->Build(measure);
    return std::unique_ptr<BankSheet>(static_cast<BankSheet*>(sheet.release()));
}

std::vector<ChannelColumn> ColumnsOf(BankSheet& sheet) {
    // The headings are the fixed row that heads the most columns; the row
    // above it groups them.
    const int fixedRows = std::min(sheet.FixedRows(), sheet.RowCount());
    int headRow = 0, most = -1;
    for (int r = 0; r < fixedRows; ++r) {
        int n = 0;
        for (int c = 0; c < sheet.ColCount(); ++c)
            n += !sheet.Cell(c, r).Join() && !LabelAt(sheet, c, r).empty() ? 1 : 0;
        if (n > most) most = n, headRow = r;
    }
    const int channelRow = sheet.FirstChannelRow();
    std::vector<ChannelColumn> columns;
    std::map<std::string, int> uses = {{kBankHeading, 1}, {kPositionHeading, 1}};
    for (int c = 0; c < sheet.ColCount(); ++c) {
        const CellDesc& d = sheet.Cell(c, channelRow);
        if (!d.Bound() || d.Join()) continue;
        columns.push_back({LabelAt(sheet, c, headRow), c, d.cell});
        ++uses[columns.back().heading];
    }
    // A heading used twice is told apart by its group: "MSK / Receive codes".
    for (ChannelColumn& column : columns) {
        if (uses[column.heading] > 1 && headRow > 0) {
            const std::string group = LabelAt(sheet, column.col, headRow - 1);
            if (!group.empty()) column.heading = group + " / " + column.heading;
        }
    }
    return columns;
}

std::vector<ChannelColumn> ChannelColumns(Document& doc, const DispatchFunction& cells) {
    auto sheet = BuildBankSheet(0, doc, cells);
    return ColumnsOf(*sheet);
}

bool ChannelPresent(DocumentData& doc, int slot) {
    ChannelRecord record(doc.Working());
    record.Decode(ChannelKindOf(doc.Variant()), slot);
    return record.present;
}

std::string CellValueText(const DispatchFunction& cells, const CellDesc& cell, bool* blanksCount) {
    bool displayText = false;
    std::string text;
    if (!cell.Bound()) {
        text = TrimBlanks(cell.Text());
    } else {
        CellContext ctx;
        ctx.desc = &cell;
        ctx.request.grid = true;
        cells(ctx, kModeDraw);
        displayText = ctx.request.displayBytes.has_value();
        text = displayText ? ctx.request.text : TrimBlanks(ctx.request.text);
    }
    if (blanksCount != nullptr) *blanksCount = displayText;
    return text;
}

ColumnKind KindOfColumn(int cell) {
    static const int kNumbers[] = {CL_Mch_FreqR,     CL_Mch_FreqT,    CL_Mch_CTone_R,
                                   CL_Mch_CTone_T,   CL_Mch_Rpt_C,    CL_Mch_Stn_C,
                                   CL_Mch_Id_C,      CL_Mch_Dig_ComID, CL_Mch_Dig_CC_R,
                                   CL_Mch_Dig_CC_T,  CL_Mch_Scrm_Code};
    if (cell == CL_Mch_Text) return ColumnKind::Name;
    for (const int n : kNumbers) {
        if (n == cell) return ColumnKind::Number;
    }
    return ColumnKind::Text;
}

bool PlainNumber(const std::string& text, int* decimals) {
    const size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if (whole.empty() || !std::all_of(whole.begin(), whole.end(), IsDigit)) return false;
    if (dot != std::string::npos &&
        (fraction.empty() || !std::all_of(fraction.begin(), fraction.end(), IsDigit)))
        return false;
    if (decimals != nullptr) *decimals = static_cast<int>(fraction.size());
    return true;
}

std::string ProtectedName(const std::string& name) {
    if (!SpreadsheetWouldConvert(name)) return name;
    std::string formula = "=\"";
    for (const char c : name) {
        if (c == '"') formula += '"';
        formula += c;
    }
    return formula + '"';
}

std::string UnprotectedText(const std::string& field) {
    if (field.size() < 3 || field.compare(0, 2, "=\"") != 0 || field.back() != '"') return field;
    std::string text;
    for (size_t i = 2; i + 1 < field.size(); ++i) {
        if (field[i] == '"') {
            // Inside, a quote stands doubled; a lone one ends the text early.
            if (i + 2 >= field.size() || field[i + 1] != '"') return field;
            ++i;
        }
        text += field[i];
    }
    return text;
}

}  // namespace parlo
