#include "sheet/SheetReading.h"

#include <algorithm>

#include "cells/CellDispatcher.h"
#include "cells/CellIds.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "sheet/Sheet.h"
#include "sheet/TreeModel.h"

namespace parlo {

namespace {

// Lines of GI_AppInd_Reading.
enum ReadingLine : int {
    kUserCharacter = 0,
    kCellError = 1,
    kCellWarning = 2,
    kOneError = 3,
    kErrors = 4,
    kOneWarning = 5,
    kWarnings = 6,
    kNodeErrors = 7,
    kNodeWarnings = 8,
};

std::string Reading(int line) { return OvlText("GI_AppInd_Reading", line); }

// Line breaks and runs of blanks read as one blank ("1-  1" reads "1- 1").
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (!blank)
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

void Append(std::string& to, const std::string& text, const char* separator) {
    if (text.empty()) return;
    if (!to.empty()) to += separator;
    to += text;
}

}  // namespace

std::string DisplayPlainText(std::span<const uint8_t> bytes) {
    std::string out;
    for (const uint8_t byte : bytes) {
        const int code = byte & 0x7F;
        if (code < 0x10 && byte != 0x80) break;  // the end of the text, as on the radio
        if (code >= 0x10 && code < 0x20) {
            if (!out.empty() && out.back() != ' ') out += ' ';
            out += FormatText(Reading(kUserCharacter), {static_cast<long long>(code - 0x10 + 1)});
            out += ' ';
        } else {
            out += code == 0 || code == 0x7F ? ' ' : static_cast<char>(code);
        }
        if (byte & 0x80) out += '.';
    }
    return OneLine(out);
}

CellReading SheetReading::Read(int col, int row) {
    const int owner = sheet_.OwnerOfJoin(col, row);
    const CellDesc& d = sheet_.Cell(owner, row);
    const CellContext answer = sheet_.ShownAnswer(owner, row);
    CellReading out;
    out.text = OneLine(answer.request.displayBytes ? DisplayPlainText(*answer.request.displayBytes)
                                                   : answer.request.text);
    if (row < sheet_.FixedRows())
        out.kind = CellKind::ColumnHeading;
    else if (owner < sheet_.FixedCols())
        out.kind = CellKind::RowHeading;
    else if (d.cell == CL_FBits)
        out.kind = CellKind::TickBox;
    if (out.kind == CellKind::TickBox) {
        // The tick is drawn or lettered; it reads as the box's state.
        out.checked = answer.checked;
        out.text.clear();
    }
    out.editable = d.Bound() && d.Selectable();
    if (answer.warningMarks & kMarkError)
        out.description = Reading(kCellError);
    else if (answer.warningMarks & kMarkWarning)
        out.description = Reading(kCellWarning);
    return out;
}

std::string SheetReading::HeadingText(int col, int row) {
    const CellDesc& d = sheet_.Cell(sheet_.OwnerOfJoin(col, row), row);
    if (d.Bound()) return {};
    return OneLine(d.Text());
}

int SheetReading::HeadingRow() {
    int best = -1, most = 0;
    for (int r = 0; r < sheet_.FixedRows() && r < sheet_.RowCount(); ++r) {
        int n = 0;
        for (int c = 0; c < sheet_.ColCount(); ++c) {
            const CellDesc& d = sheet_.Cell(c, r);
            n += !d.Join() && !d.Bound() && !OneLine(d.Text()).empty() ? 1 : 0;
        }
        if (best < 0 || n > most) {
            best = r;
            most = n;
        }
    }
    return best;
}

std::string SheetReading::ColumnHeading(int col) {
    const int row = HeadingRow();
    return row < 0 ? std::string() : HeadingText(col, row);
}

std::string SheetReading::ColumnDescription(int col) {
    const int heading = HeadingRow();
    std::string out;
    for (int r = 0; r < sheet_.FixedRows() && r < sheet_.RowCount(); ++r) {
        if (r != heading) Append(out, HeadingText(col, r), ", ");
    }
    return out;
}

std::string SheetReading::RowHeading(int row, int col) {
    if (row < sheet_.FixedRows()) return {};
    if (sheet_.FixedCols() > 0) {
        // A heading has no heading of its own.
        if (sheet_.OwnerOfJoin(col, row) < sheet_.FixedCols()) return {};
        std::string out;
        for (int c = 0; c < sheet_.FixedCols() && c < sheet_.ColCount(); ++c) {
            if (!sheet_.Cell(c, row).Join()) Append(out, Read(c, row).text, " ");
        }
        return out;
    }
    // Without fixed columns a value is named by the label left of it.
    for (int c = sheet_.OwnerOfJoin(col, row) - 1; c >= 0; --c) {
        const CellDesc& d = sheet_.Cell(c, row);
        if (d.Join() || d.Bound()) continue;
        if (std::string label = OneLine(d.Text()); !label.empty()) return label;
    }
    return {};
}

std::string SheetReading::CellName(int col, int row) {
    std::string out = row >= sheet_.FixedRows() ? ColumnHeading(col) : std::string();
    Append(out, RowHeading(row, col), ", ");
    return out;
}

std::string SheetReading::Title() { return OneLine(sheet_.TitleText()); }

int SheetReading::HeadRows() {
    int r = std::min(sheet_.FixedRows(), sheet_.RowCount());
    for (; r < sheet_.RowCount(); ++r) {
        for (int c = 0; c < sheet_.ColCount(); ++c) {
            if (sheet_.Cell(c, r).Selectable()) return r;
        }
    }
    return r;
}

std::string SheetReading::Notes() {
    std::string out;
    const int head = HeadRows();
    for (int r = sheet_.FixedRows(); r < head; ++r) {
        for (int c = 0; c < sheet_.ColCount(); ++c) {
            // A note may be a cell whose words follow the image (the hint
            // on adding channels); it reads as shown.
            const CellDesc& d = sheet_.Cell(c, r);
            if (!d.Join()) Append(out, d.Bound() ? Read(c, r).text : HeadingText(c, r), " ");
        }
    }
    return out;
}

std::string TreeNodeReading(const TreeNode& node) {
    std::string out = OneLine(node.caption);
    if (node.overlay < 0) return out;
    std::string marks;
    auto count = [&](int n, ReadingLine one, ReadingLine many) {
        if (n == 1) Append(marks, Reading(one), ", ");
        if (n > 1) Append(marks, FormatText(Reading(many), {static_cast<long long>(n)}), ", ");
    };
    count(node.errorChannels, kOneError, kErrors);
    count(node.warningChannels, kOneWarning, kWarnings);
    if (marks.empty()) marks = Reading(node.overlay == 0 ? kNodeErrors : kNodeWarnings);
    Append(out, marks, ", ");
    return out;
}

}  // namespace parlo
