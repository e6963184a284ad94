#pragma once
// Reading a table of channels into the working image: the rows of one or
// more tables (a CSV file, the sheets of a workbook) or channels given by
// value (a list of another program), each value typed into its cell as the
// in-place editor takes it, bank by bank in position order. The rows are
// read as they come and only those that can go somewhere are kept (a bank
// has at most 64 positions), so a table of any length is read in little
// memory; what is refused is listed up to a limit and counted past it.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/CellTyping.h"
#include "app/ChannelColumns.h"
#include "app/Document.h"
#include "platform/SafeFile.h"

namespace parlo {

// The kinds of table a channel list comes in: CSV as this program writes
// it (or a spreadsheet saves it), a workbook, the CSV of the CHIRP program.
enum class TableFormat { Csv, Workbook, Chirp };

struct ImportOutcome {
    // Lists longer than this are counted, not kept.
    static constexpr size_t kListed = 100;

    // Every value refused, as `line N, column "Heading": 'text' was not
    // accepted` (and the reason, when there is one), and what is wrong with
    // the table as a whole; past kListed only counted in moreRefusals.
    std::vector<std::string> refusals;
    size_t moreRefusals = 0;
    // Every value stored as another value than typed (limited to the range,
    // snapped to the channel raster, rounded to the unit, a name cut), as
    // `line N, column "Heading": 'text' stored as SHOWN`: told, not refused.
    std::vector<std::string> notes;
    size_t moreNotes = 0;
    int rows = 0;   // channel rows read
    int added = 0;   // channels added to banks
    int filled = 0;  // blank slots inside a bank given a channel
    TableFormat format = TableFormat::Csv;
    // The file could not be read at all (nothing else is set then).
    FileFailure unreadable;
    // A workbook, but the libraries that read one cannot be loaded (the
    // refusal says why).
    bool librariesMissing = false;
    bool Ok() const { return refusals.empty() && unreadable.problem == FileProblem::None; }

    void Refuse(std::string refusal);
    void Note(std::string note);
};

// `line 4, column "Receive": 'x' was not accepted: reason`.
std::string RefusalText(const std::string& where, const std::string& heading,
                        const std::string& text, std::string reason = {});

class ChannelImport {
public:
    ChannelImport(Document& doc, const DispatchFunction& cells, ImportOutcome& outcome);

    Document& Doc() { return doc_; }
    const DispatchFunction& Cells() const { return cells_; }
    const std::vector<ChannelColumn>& Columns() const { return columns_; }
    // The column of a cell, or -1 where the variant's bank sheet has none.
    int ColumnOf(int cell) const;

    // A table's header row: which column each field is. `where` names the
    // row for messages ("line 1"). A table that has no "Bank" column is one
    // bank's (a sheet of a workbook): `bank` is it. False when refused.
    bool Header(const std::vector<std::string>& fields, const std::string& where,
                std::optional<int> bank = std::nullopt);
    // A row of the table whose header came last.
    void Row(const std::vector<std::string>& fields, const std::string& where);
    // A channel given by its values (column, text), for bank `bank` at
    // `position` (both from 0).
    void Place(int bank, int position, std::vector<std::pair<size_t, std::string>> values,
               const std::string& where);
    // Types every value kept, bank by bank, in position order.
    void Finish();

    // After Finish: the slot a bank's position came to hold, or -1.
    int SlotOf(int bank, int position);
    CellTyping& Typing() { return typing_; }
    // The cell of a column for a slot, on the bank sheet of the bank.
    CellDesc CellFor(BankSheet& sheet, size_t column, int slot) const;

private:
    struct Kept {
        std::string where;
        std::vector<std::pair<size_t, std::string>> values;  // column, text
    };
    using Spot = std::pair<int, int>;  // bank, position
    using KeptRows = std::map<Spot, Kept>;

    static constexpr int kBankColumn = -2;
    static constexpr int kPositionColumn = -3;
    static constexpr int kUnnamedColumn = -4;

    void Keep(int bank, int position, Kept kept, const std::string& where);
    void ImportBank(int bank, KeptRows::iterator first, KeptRows::iterator last);
    void TypeRow(BankSheet& sheet, int slot, bool fresh, Kept& row);

    Document& doc_;
    const DispatchFunction& cells_;
    ImportOutcome& outcome_;
    CellTyping typing_;
    std::vector<ChannelColumn> columns_;
    std::vector<int> fieldColumn_;  // per field of the header: a column, or Bank or Position
    std::optional<int> tableBank_;
    bool headerOk_ = false;
    KeptRows rows_;
};

}  // namespace parlo
