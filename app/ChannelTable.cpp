#include "app/ChannelTable.h"

#include <algorithm>
#include <map>
#include <memory>

#include "app/CellTyping.h"
#include "cells/CellIds.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "sheet/BankSheet.h"
#include "sheet/CsvTable.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"

namespace parlo {

namespace {

const char* const kBankHeading = "Bank";
const char* const kPositionHeading = "Position";

// The bank sheet of the document's variant for one bank, laid out: while it
// lives it tells the cells which bank they show.
std::unique_ptr<BankSheet> BuildBankSheet(int bank, Document& doc, const DispatchFunction& cells) {
    const std::string action =
        Format("[St_ChBank]GI_Sheet_Mch_%s,Bank %d", ChannelSheetName(doc.Variant()), bank);
    auto sheet = CreateSheet(action, Sheet::Params{}, doc.Scope(), cells);
    FixedMetricsCanvas measure;
    sheet->Build(measure);
    return std::unique_ptr<BankSheet>(static_cast<BankSheet*>(sheet.release()));
}

// A label's first line without its trailing blanks; nothing for bound cells.
std::string LabelAt(Sheet& sheet, int col, int row) {
    while (col > 0 && sheet.Cell(col, row).Join()) --col;
    const CellDesc& d = sheet.Cell(col, row);
    if (d.Bound()) return {};
    return TrimBlanks(d.Text().substr(0, d.Text().find('\n')));
}

std::vector<ChannelColumn> ColumnsOf(Sheet& sheet) {
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
    const int channelRow = static_cast<BankSheet&>(sheet).FirstChannelRow();
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

bool ChannelPresent(Document& doc, int slot) {
    ChannelRecord record(doc.Working());
    record.Decode(ChannelKindOf(doc.Variant()), slot);
    return record.present;
}

// A number from 1 to `highest`, or nothing.
std::optional<int> CountingNumber(const std::string& text, int highest) {
    const std::string t = TrimBlanks(text);
    if (t.empty() || t.size() > 3 || t[0] == '-') return std::nullopt;
    const auto n = ReadInteger(t);
    if (!n || *n < 1 || *n > highest) return std::nullopt;
    return static_cast<int>(*n);
}

std::string Refused(int line, const std::string& heading, const std::string& text,
                    std::string reason = {}) {
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    return Format("line %d, column \"%s\": '%s' was not accepted%s%s", line, heading.c_str(),
                  text.c_str(), reason.empty() ? "" : ": ", reason.c_str());
}

std::string StoredAs(int line, const std::string& heading, const std::string& text,
                     const std::string& shown) {
    return Format("line %d, column \"%s\": '%s' stored as %s", line, heading.c_str(), text.c_str(),
                  shown.c_str());
}

// One row of the table, read: where it goes and its values by column.
struct ChannelRow {
    int line;
    int bank;
    int position;
    std::vector<std::pair<size_t, std::string>> values;  // column index, text
};

class ChannelImport {
public:
    ChannelImport(Document& doc, const DispatchFunction& cells, ImportOutcome& outcome)
        : doc_(doc), cells_(cells), outcome_(outcome), typing_(cells) {}

    void Run(const std::string& csv) {
        std::vector<CsvRecord> records;
        std::string error;
        if (!CsvTable::Read(csv, ',', &records, &error)) {
            outcome_.refusals.push_back(error);
            return;
        }
        if (records.empty()) {
            outcome_.refusals.push_back("the file holds no header row");
            return;
        }
        {
            auto sheet = BuildBankSheet(0, doc_, cells_);
            columns_ = ColumnsOf(*sheet);
        }
        if (!ReadHeader(records.front())) return;
        std::map<int, std::vector<ChannelRow>> banks;
        for (size_t i = 1; i < records.size(); ++i) {
            if (auto row = ReadRow(records[i])) banks[row->bank].push_back(std::move(*row));
        }
        for (auto& [bank, rows] : banks) ImportBank(bank, rows);
    }

private:
    bool ReadHeader(const CsvRecord& header) {
        for (size_t i = 0; i < header.fields.size(); ++i) {
            const std::string name = TrimBlanks(header.fields[i]);
            int column = -1;
            if (name == kBankHeading) column = kBankColumn;
            if (name == kPositionHeading) column = kPositionColumn;
            for (size_t c = 0; c < columns_.size(); ++c) {
                if (columns_[c].heading == name) column = static_cast<int>(c);
            }
            if (column == -1) {
                outcome_.refusals.push_back(
                    Format("line %d: \"%s\" is not a column of the bank sheet", header.line,
                           name.c_str()));
            } else if (std::find(fieldColumn_.begin(), fieldColumn_.end(), column) !=
                       fieldColumn_.end()) {
                outcome_.refusals.push_back(
                    Format("line %d: the column \"%s\" is given twice", header.line, name.c_str()));
            }
            fieldColumn_.push_back(column);
        }
        for (const int needed : {kBankColumn, kPositionColumn}) {
            if (std::find(fieldColumn_.begin(), fieldColumn_.end(), needed) == fieldColumn_.end())
                outcome_.refusals.push_back(
                    Format("line %d: the header has no column \"%s\"", header.line,
                           needed == kBankColumn ? kBankHeading : kPositionHeading));
        }
        return outcome_.refusals.empty();
    }

    std::optional<ChannelRow> ReadRow(const CsvRecord& record) {
        ChannelRow row{record.line, 0, 0, {}};
        bool placed = true;
        for (size_t i = 0; i < record.fields.size() && i < fieldColumn_.size(); ++i) {
            const std::string& text = record.fields[i];
            const int column = fieldColumn_[i];
            if (column == kBankColumn || column == kPositionColumn) {
                const bool bank = column == kBankColumn;
                const auto n = CountingNumber(text, bank ? kBankCount : kChannelSlots);
                if (!n) {
                    outcome_.refusals.push_back(
                        Refused(record.line, bank ? kBankHeading : kPositionHeading, text));
                    placed = false;
                } else {
                    (bank ? row.bank : row.position) = *n - 1;
                }
            } else {
                row.values.emplace_back(static_cast<size_t>(column), text);
            }
        }
        if (record.fields.size() > fieldColumn_.size()) {
            outcome_.refusals.push_back(
                Format("line %d: more fields than the header names", record.line));
            placed = false;
        }
        if (!placed) return std::nullopt;
        ++outcome_.rows;
        return row;
    }

    void ImportBank(int bank, std::vector<ChannelRow>& rows) {
        std::stable_sort(rows.begin(), rows.end(), [](const ChannelRow& a, const ChannelRow& b) {
            return a.position < b.position;
        });
        auto sheet = BuildBankSheet(bank, doc_, cells_);
        const int channelRow = sheet->FirstChannelRow();
        EepromImage& image = doc_.Working();
        int previous = -1;
        for (ChannelRow& row : rows) {
            if (row.position == previous) {
                outcome_.refusals.push_back(
                    Refused(row.line, kPositionHeading, std::to_string(row.position + 1)));
                continue;
            }
            previous = row.position;
            // Positions the table skips stay blank channels, as in the file
            // the table came from.
            while (BankSize(image, bank) < row.position) {
                if (!doc_.AppendChannel(bank)) break;
                ++outcome_.added;
            }
            const int size = BankSize(image, bank);
            if (row.position > size) {
                outcome_.refusals.push_back(
                    Refused(row.line, kPositionHeading, std::to_string(row.position + 1)));
                continue;
            }
            const int slot = BankFirstSlot(image, bank) + row.position;
            if (row.position == size) ++outcome_.added;
            // A new or blank channel starts with its receive frequency.
            if (row.position == size || !ChannelPresent(doc_, slot)) {
                std::stable_partition(row.values.begin(), row.values.end(), [&](const auto& v) {
                    return columns_[v.first].cell == CL_Mch_FreqR;
                });
            } else {
                std::stable_sort(row.values.begin(), row.values.end(),
                                 [](const auto& a, const auto& b) { return a.first < b.first; });
            }
            for (const auto& [column, text] : row.values) {
                CellDesc cell = sheet->Cell(columns_[column].col, channelRow);
                cell.index = slot;
                const std::string& heading = columns_[column].heading;
                if (!typing_.Type(cell, text))
                    outcome_.refusals.push_back(Refused(row.line, heading, text, typing_.Reason()));
                else if (typing_.Adjusted())
                    outcome_.notes.push_back(
                        StoredAs(row.line, heading, text, typing_.Shown(cell)));
            }
        }
    }

    static constexpr int kBankColumn = -2;
    static constexpr int kPositionColumn = -3;

    Document& doc_;
    const DispatchFunction& cells_;
    ImportOutcome& outcome_;
    CellTyping typing_;
    std::vector<ChannelColumn> columns_;
    std::vector<int> fieldColumn_;  // per field of the header: a column, or Bank or Position
};

}  // namespace

std::vector<ChannelColumn> ChannelColumns(Document& doc, const DispatchFunction& cells) {
    auto sheet = BuildBankSheet(0, doc, cells);
    return ColumnsOf(*sheet);
}

std::string ExportChannels(Document& doc, const DispatchFunction& cells, std::optional<int> bank) {
    std::vector<std::vector<std::string>> table;
    for (int b = 0; b < kBankCount; ++b) {
        if (bank && *bank != b) continue;
        auto sheet = BuildBankSheet(b, doc, cells);
        const std::vector<ChannelColumn> columns = ColumnsOf(*sheet);
        if (table.empty()) {
            table.push_back({kBankHeading, kPositionHeading});
            for (const ChannelColumn& c : columns) table.back().push_back(c.heading);
        }
        const int first = BankFirstSlot(doc.Working(), b);
        for (int p = 0; p < BankSize(doc.Working(), b); ++p) {
            if (!ChannelPresent(doc, first + p)) continue;
            std::vector<std::string> row = {std::to_string(b + 1), std::to_string(p + 1)};
            for (const ChannelColumn& c : columns)
                row.push_back(TrimBlanks(sheet->CellText(c.col, sheet->FirstChannelRow() + p)));
            table.push_back(std::move(row));
        }
    }
    return CsvTable::Write(table, ',');
}

ImportOutcome ImportChannels(Document& doc, const DispatchFunction& cells, const std::string& csv) {
    ImportOutcome outcome;
    EepromImage before;
    before.Assign(doc.Working());
    ChannelImport(doc, cells, outcome).Run(csv);
    if (!outcome.Ok()) {
        // Nothing was stored, as typed or otherwise.
        outcome.notes.clear();
        doc.Working().Assign(before);
        doc.RebuildModelData();
    }
    return outcome;
}

}  // namespace parlo
