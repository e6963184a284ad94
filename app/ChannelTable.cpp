#include "app/ChannelTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "app/ChirpTable.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "platform/DocumentFile.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "platform/xlsx/Workbook.h"
#include "sheet/CsvTable.h"

namespace parlo {

namespace {

// A workbook is read whole; one this large holds no table of 320 channels.
constexpr size_t kLargestWorkbook = size_t{16} << 20;

const char* const kSheetPrefix = "Bank ";

// The texts of a bank's present channels, row by row: the position (from
// 0) and the texts of the columns.
template <typename Each>
void ForEachChannel(Document& doc, const DispatchFunction& cells, int bank, Each each) {
    auto sheet = BuildBankSheet(bank, doc, cells);
    const std::vector<ChannelColumn> columns = ColumnsOf(*sheet);
    EepromImage& image = doc.Working();
    const int first = BankFirstSlot(image, bank);
    for (int p = 0; p < BankSize(image, bank); ++p) {
        if (!ChannelPresent(doc, first + p)) continue;
        std::vector<std::string> texts;
        for (const ChannelColumn& c : columns) {
            CellDesc cell = sheet->Cell(c.col, sheet->FirstChannelRow());
            cell.index = first + p;
            texts.push_back(CellValueText(cells, cell));
        }
        each(p, columns, texts);
    }
}

// A text of a CSV file: a name kept as text, a number with the decimal
// mark the file's spreadsheet reads.
std::string CsvText(const ChannelColumn& column, std::string text, char separator) {
    switch (KindOfColumn(column.cell)) {
        case ColumnKind::Name: return ProtectedName(text);
        case ColumnKind::Number:
            if (separator == ';' && PlainNumber(text)) {
                for (char& c : text) c = c == '.' ? ',' : c;
            }
            return text;
        case ColumnKind::Text: break;
    }
    return text;
}

std::string ExportCsv(Document& doc, const DispatchFunction& cells, const TableExport& how) {
    std::string out;
    {
        std::vector<std::string> header = {kBankHeading, kPositionHeading};
        for (const ChannelColumn& c : ChannelColumns(doc, cells)) header.push_back(c.heading);
        out = CsvTable::Line(header, how.separator);
    }
    for (int b = 0; b < kBankCount; ++b) {
        if (how.bank && *how.bank != b) continue;
        ForEachChannel(doc, cells, b, [&](int p, const auto& columns, const auto& texts) {
            std::vector<std::string> row = {IntegerText(b + 1), IntegerText(p + 1)};
            for (size_t i = 0; i < columns.size(); ++i)
                row.push_back(CsvText(columns[i], texts[i], how.separator));
            out += CsvTable::Line(row, how.separator);
        });
    }
    return out;
}

WorkbookCell TypedCell(const ChannelColumn& column, const std::string& text) {
    WorkbookCell cell{text, false, 0};
    if (KindOfColumn(column.cell) == ColumnKind::Number)
        cell.number = PlainNumber(text, &cell.decimals);
    return cell;
}

ExportOutcome ExportWorkbook(Document& doc, const DispatchFunction& cells, const TableExport& how) {
    ExportOutcome outcome;
    if (!LoadWorkbookLibraries(&outcome.error)) {
        outcome.librariesMissing = true;
        return outcome;
    }
    WorkbookWriter book;
    const std::vector<ChannelColumn> columns = ChannelColumns(doc, cells);
    for (int b = 0; b < kBankCount; ++b) {
        if (how.bank && *how.bank != b) continue;
        book.AddSheet(kSheetPrefix + IntegerText(b + 1));
        std::vector<WorkbookCell> header = {{kPositionHeading, false, 0}};
        for (const ChannelColumn& c : columns) header.push_back({c.heading, false, 0});
        book.AddRow(header);
        ForEachChannel(doc, cells, b, [&](int p, const auto& bankColumns, const auto& texts) {
            std::vector<WorkbookCell> row = {{IntegerText(p + 1), true, 0}};
            for (size_t i = 0; i < bankColumns.size(); ++i)
                row.push_back(TypedCell(bankColumns[i], texts[i]));
            book.AddRow(row);
        });
    }
    if (!book.Finish(&outcome.bytes, &outcome.error))
        outcome.error = "the workbook could not be made: " + outcome.error;
    return outcome;
}

// The bank a workbook's sheet is named after ("Bank 2"), or nothing.
std::optional<int> SheetBank(const std::string& name) {
    if (name.compare(0, 5, kSheetPrefix) != 0) return std::nullopt;
    const auto n = ReadInteger(name.substr(5));
    if (!n || *n < 1 || *n > kBankCount) return std::nullopt;
    return static_cast<int>(*n) - 1;
}

void ReadWorkbookTable(ChannelImport& import, const std::string& bytes, ImportOutcome& outcome) {
    std::string error;
    if (!LoadWorkbookLibraries(&error)) {
        outcome.librariesMissing = true;
        outcome.Refuse(error);
        return;
    }
    int currentSheet = -1;
    const bool read = ReadWorkbook(
        bytes,
        [&](const std::string& sheet, int index, int row, const std::vector<std::string>& cells) {
            const std::string where = Format("sheet \"%s\", row %d", sheet.c_str(), row);
            if (index != currentSheet) {
                currentSheet = index;
                import.Header(cells, where, SheetBank(sheet));
                return;
            }
            import.Row(cells, where);
        },
        &error);
    if (!read) outcome.Refuse("the file is not a workbook that can be read: " + error);
}

void ReadCsvTable(ChannelImport& import, CsvReader& reader, const TableImport& how,
                  ImportOutcome& outcome) {
    CsvRecord record;
    if (!reader.Next(&record)) {
        outcome.Refuse(reader.Error().empty() ? "the file holds no header row" : reader.Error());
        return;
    }
    if (IsChirpHeader(record.fields)) {
        outcome.format = TableFormat::Chirp;
        ReadChirpTable(import, reader, record, how, outcome);
        return;
    }
    if (!import.Header(record.fields, Format("line %d", record.line))) return;
    while (reader.Next(&record)) import.Row(record.fields, Format("line %d", record.line));
    if (!reader.Error().empty()) outcome.Refuse(reader.Error());
}

// Runs `read` on an import; any refusal puts the image back as it was.
template <typename Read>
ImportOutcome Import(Document& doc, const DispatchFunction& cells, Read read) {
    ImportOutcome outcome;
    EepromImage before;
    before.Assign(doc.Working());
    {
        ChannelImport import(doc, cells, outcome);
        read(import, outcome);
        if (outcome.unreadable.problem == FileProblem::None) import.Finish();
    }
    if (!outcome.Ok()) {
        // Nothing was stored, as typed or otherwise.
        outcome.notes.clear();
        outcome.moreNotes = 0;
        doc.Working().Assign(before);
        doc.RebuildModelData();
    }
    return outcome;
}

}  // namespace

ExportOutcome ExportChannelTable(Document& doc, const DispatchFunction& cells,
                                 const TableExport& how) {
    switch (how.format) {
        case TableFormat::Workbook: return ExportWorkbook(doc, cells, how);
        case TableFormat::Chirp: return ExportChirp(doc, cells, how.bank);
        case TableFormat::Csv: break;
    }
    ExportOutcome outcome;
    outcome.bytes = ExportCsv(doc, cells, how);
    return outcome;
}

std::string ExportChannels(Document& doc, const DispatchFunction& cells, std::optional<int> bank) {
    TableExport how;
    how.bank = bank;
    return ExportCsv(doc, cells, how);
}

ImportOutcome ImportChannels(Document& doc, const DispatchFunction& cells, const std::string& csv,
                             const TableImport& how) {
    return Import(doc, cells, [&](ChannelImport& import, ImportOutcome& outcome) {
        CsvReader reader(std::string_view(csv), 0);
        ReadCsvTable(import, reader, how, outcome);
    });
}

ImportOutcome ImportChannelFile(Document& doc, const DispatchFunction& cells,
                                const std::string& path, const TableImport& how) {
    return Import(doc, cells, [&](ChannelImport& import, ImportOutcome& outcome) {
        std::FILE* file = OpenDocumentFile(path, &outcome.unreadable);
        if (file == nullptr) return;
        char start[4] = {};
        const size_t got = std::fread(start, 1, sizeof start, file);
        if (LooksLikeWorkbook(std::string_view(start, got))) {
            outcome.format = TableFormat::Workbook;
            std::string bytes(start, got);
            char buffer[64 * 1024];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
                bytes.append(buffer, n);
                if (bytes.size() > kLargestWorkbook) break;
            }
            if (std::ferror(file) != 0)
                outcome.unreadable = FailureOfError(EIO);
            else if (bytes.size() > kLargestWorkbook)
                outcome.Refuse("the workbook is larger than 16 MB");
            else
                ReadWorkbookTable(import, bytes, outcome);
        } else if (NamesAWorkbook(path)) {
            outcome.format = TableFormat::Workbook;
            outcome.Refuse("the file is named as a workbook (.xlsx) but is not one");
        } else {
            size_t replay = 0;
            CsvReader reader(
                [&](char* buffer, size_t size) -> size_t {
                    if (replay < got) {
                        const size_t n = std::min(size, got - replay);
                        std::copy(start + replay, start + replay + n, buffer);
                        replay += n;
                        return n;
                    }
                    return std::fread(buffer, 1, size, file);
                },
                0);
            ReadCsvTable(import, reader, how, outcome);
            if (std::ferror(file) != 0) outcome.unreadable = FailureOfError(EIO);
        }
        std::fclose(file);
    });
}

bool NamesAWorkbook(const std::string& path) {
    const size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return false;
    std::string own = path.substr(dot + 1);
    for (char& c : own) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return own == "xlsx";
}

}  // namespace parlo
