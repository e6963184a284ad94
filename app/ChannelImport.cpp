#include "app/ChannelImport.h"

#include <algorithm>

#include "cells/CellIds.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

// A number from 1 to `highest`, or nothing.
std::optional<int> CountingNumber(const std::string& text, int highest) {
    const std::string t = TrimBlanks(text);
    if (t.empty() || t.size() > 3 || t[0] == '-') return std::nullopt;
    const auto n = ReadInteger(t);
    if (!n || *n < 1 || *n > highest) return std::nullopt;
    return static_cast<int>(*n);
}

bool AllEmpty(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return TrimBlanks(f).empty(); });
}

}  // namespace

void ImportOutcome::Refuse(std::string refusal) {
    if (refusals.size() < kListed)
        refusals.push_back(std::move(refusal));
    else
        ++moreRefusals;
}

void ImportOutcome::Note(std::string note) {
    if (notes.size() < kListed)
        notes.push_back(std::move(note));
    else
        ++moreNotes;
}

std::string RefusalText(const std::string& where, const std::string& heading,
                        const std::string& text, std::string reason) {
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    return Format("%s, column \"%s\": '%s' was not accepted%s%s", where.c_str(), heading.c_str(),
                  text.c_str(), reason.empty() ? "" : ": ", reason.c_str());
}

ChannelImport::ChannelImport(Document& doc, const DispatchFunction& cells, ImportOutcome& outcome)
    : doc_(doc), cells_(cells), outcome_(outcome), typing_(cells, doc.Working()),
      columns_(ChannelColumns(doc, cells)) {}

int ChannelImport::ColumnOf(int cell) const {
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c].cell == cell) return static_cast<int>(c);
    }
    return -1;
}

bool ChannelImport::Header(const std::vector<std::string>& fields, const std::string& where,
                           std::optional<int> bank) {
    const size_t before = outcome_.refusals.size() + outcome_.moreRefusals;
    fieldColumn_.clear();
    tableBank_ = bank;
    for (const std::string& field : fields) {
        const std::string name = TrimBlanks(field);
        int column = name.empty() ? kUnnamedColumn : -1;
        if (name == kBankHeading) column = kBankColumn;
        if (name == kPositionHeading) column = kPositionColumn;
        for (size_t c = 0; c < columns_.size(); ++c) {
            if (columns_[c].heading == name) column = static_cast<int>(c);
        }
        if (column == -1) {
            outcome_.Refuse(
                Format("%s: \"%s\" is not a column of the bank sheet", where.c_str(), name.c_str()));
        } else if (column != kUnnamedColumn &&
                   std::find(fieldColumn_.begin(), fieldColumn_.end(), column) !=
                       fieldColumn_.end()) {
            outcome_.Refuse(
                Format("%s: the column \"%s\" is given twice", where.c_str(), name.c_str()));
        }
        fieldColumn_.push_back(column);
    }
    const auto has = [&](int column) {
        return std::find(fieldColumn_.begin(), fieldColumn_.end(), column) != fieldColumn_.end();
    };
    if (!has(kBankColumn) && !bank)
        outcome_.Refuse(Format("%s: the header has no column \"%s\"", where.c_str(), kBankHeading));
    if (!has(kPositionColumn))
        outcome_.Refuse(
            Format("%s: the header has no column \"%s\"", where.c_str(), kPositionHeading));
    headerOk_ = outcome_.refusals.size() + outcome_.moreRefusals == before;
    return headerOk_;
}

void ChannelImport::Row(const std::vector<std::string>& fields, const std::string& where) {
    if (!headerOk_ || AllEmpty(fields)) return;
    Kept kept{where, {}};
    int bankNumber = tableBank_ ? *tableBank_ : -1;
    int position = -1;
    bool placed = true;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string text = UnprotectedText(fields[i]);
        const int column = i < fieldColumn_.size() ? fieldColumn_[i] : kUnnamedColumn;
        if (column == kUnnamedColumn) {
            if (TrimBlanks(text).empty()) continue;
            outcome_.Refuse(Format("%s: the value '%s' is under no column of the header",
                                   where.c_str(), text.c_str()));
            placed = false;
        } else if (column == kBankColumn || column == kPositionColumn) {
            const bool isBank = column == kBankColumn;
            const auto n = CountingNumber(text, isBank ? kBankCount : kChannelSlots);
            if (!n) {
                outcome_.Refuse(
                    RefusalText(where, isBank ? kBankHeading : kPositionHeading, text));
                placed = false;
            } else {
                (isBank ? bankNumber : position) = *n - 1;
            }
        } else {
            kept.values.emplace_back(static_cast<size_t>(column), text);
        }
    }
    if (!placed || bankNumber < 0 || position < 0) return;
    ++outcome_.rows;
    Keep(bankNumber, position, std::move(kept), where);
}

void ChannelImport::Place(int bank, int position,
                          std::vector<std::pair<size_t, std::string>> values,
                          const std::string& where) {
    Keep(bank, position, Kept{where, std::move(values)}, where);
}

void ChannelImport::Keep(int bank, int position, Kept kept, const std::string& where) {
    const auto [at, added] = rows_.emplace(Spot{bank, position}, std::move(kept));
    if (!added) {
        outcome_.Refuse(RefusalText(
            where, kPositionHeading, IntegerText(position + 1),
            Format("bank %d, position %d is given by %s already", bank + 1, position + 1,
                   at->second.where.c_str())));
    }
}

void ChannelImport::Finish() {
    // Rows refused while reading do not stop the typing: every value that
    // would be refused is listed at once.
    for (auto first = rows_.begin(); first != rows_.end();) {
        const int bank = first->first.first;
        auto last = first;
        while (last != rows_.end() && last->first.first == bank) ++last;
        ImportBank(bank, first, last);
        first = last;
    }
}

CellDesc ChannelImport::CellFor(BankSheet& sheet, size_t column, int slot) const {
    CellDesc cell = sheet.Cell(columns_[column].col, sheet.FirstChannelRow());
    cell.index = slot;
    return cell;
}

int ChannelImport::SlotOf(int bank, int position) {
    EepromImage& image = doc_.Working();
    if (position < 0 || position >= BankSize(image, bank)) return -1;
    return BankFirstSlot(image, bank) + position;
}

void ChannelImport::ImportBank(int bank, KeptRows::iterator first, KeptRows::iterator last) {
    auto sheet = BuildBankSheet(bank, doc_, cells_);
    EepromImage& image = doc_.Working();
    for (auto it = first; it != last; ++it) {
        const int position = it->first.second;
        // Positions the table skips stay blank channels, as in the file the
        // table came from.
        while (BankSize(image, bank) < position) {
            if (!doc_.AppendChannel(bank)) break;
            ++outcome_.added;
        }
        const int size = BankSize(image, bank);
        if (position > size) {
            outcome_.Refuse(
                RefusalText(it->second.where, kPositionHeading, IntegerText(position + 1)));
            continue;
        }
        const int slot = BankFirstSlot(image, bank) + position;
        const bool blank = position < size && !ChannelPresent(doc_, slot);
        if (position == size) ++outcome_.added;
        if (blank) ++outcome_.filled;
        TypeRow(*sheet, slot, position == size || blank, it->second);
    }
}

void ChannelImport::TypeRow(BankSheet& sheet, int slot, bool fresh, Kept& row) {
    // A new or blank channel starts with its receive frequency.
    std::stable_sort(row.values.begin(), row.values.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (fresh) {
        std::stable_partition(row.values.begin(), row.values.end(), [&](const auto& v) {
            return columns_[v.first].cell == CL_Mch_FreqR;
        });
    }
    for (const auto& [column, text] : row.values) {
        const CellDesc cell = CellFor(sheet, column, slot);
        const std::string& heading = columns_[column].heading;
        if (!typing_.Type(cell, text))
            outcome_.Refuse(RefusalText(row.where, heading, text, typing_.Reason()));
        else if (typing_.Adjusted())
            outcome_.Note(Format("%s, column \"%s\": '%s' stored as %s", row.where.c_str(),
                                 heading.c_str(), text.c_str(), typing_.Shown(cell).c_str()));
    }
}

}  // namespace parlo
