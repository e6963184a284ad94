#pragma once
// Channels in and out as a table of text, for spreadsheets: one row per
// channel, "Bank" and "Position" first, then one column per column of the
// bank sheet, headed as the sheet heads it and holding the text its cell
// shows. Reading such a table types every value into its cell as the
// in-place editor does, bank by bank; a table any of whose values is refused
// changes nothing.
#include <optional>
#include <string>
#include <vector>

#include "app/Document.h"
#include "cells/CellContext.h"

namespace parlo {

// A column of the bank sheet: its heading (qualified by its group heading
// where headings repeat) and the sheet column it is.
struct ChannelColumn {
    std::string heading;
    int col;
    int cell;
};

// The columns of the document variant's bank sheet, left to right.
std::vector<ChannelColumn> ChannelColumns(Document& doc, const DispatchFunction& cells);

// The channels present in one bank (0-4) or in every bank, as CSV.
std::string ExportChannels(Document& doc, const DispatchFunction& cells,
                           std::optional<int> bank = std::nullopt);

struct ImportOutcome {
    // Every value refused, as `line N, column "Heading": 'text' was not
    // accepted` (and the reason, when the cell gives one), and what is wrong
    // with the table as a whole.
    std::vector<std::string> refusals;
    // Every value stored as another value than typed (limited to the range,
    // snapped to the channel raster, rounded to the unit), as `line N,
    // column "Heading": 'text' stored as SHOWN`: to be told, not refused.
    std::vector<std::string> notes;
    int rows = 0;   // channel rows read
    int added = 0;  // channels added to banks
    bool Ok() const { return refusals.empty(); }
};

// Types the values of a CSV table into the working image. On any refusal
// the working image is put back as it was.
ImportOutcome ImportChannels(Document& doc, const DispatchFunction& cells, const std::string& csv);

}  // namespace parlo
