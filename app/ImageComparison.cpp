#include "app/ImageComparison.h"

#include <algorithm>
#include <map>
#include <memory>

#include "app/Document.h"
#include "cells/BankCaption.h"
#include "cells/CellDispatcher.h"
#include "cells/CellHost.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "runtime/EventManager.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"

namespace parlo {

std::string CellDifference::Line() const {
    return sheet + " / " + rowHeading + " / " + colHeading + ": '" + textA + "' -> '" + textB + "'";
}

std::string ByteDifference::Line() const {
    return Format("%04X: %02X -> %02X", static_cast<unsigned>(address), a, b);
}

std::vector<std::string> ImageDifferences::Lines() const {
    std::vector<std::string> lines;
    for (const CellDifference& d : cells) lines.push_back(d.Line());
    for (const ByteDifference& d : bytes) lines.push_back(d.Line());
    return lines;
}

namespace {

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    return text;
}

// The words of the texts, one blank between them ("1-  1" reads "1- 1").
std::string JoinWords(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        for (char c : text) {
            if (c != ' ') {
                joined += c;
            } else if (!joined.empty() && joined.back() != ' ') {
                joined += ' ';
            }
        }
        if (!joined.empty() && joined.back() != ' ') joined += ' ';
    }
    while (!joined.empty() && joined.back() == ' ') joined.pop_back();
    return joined;
}

// What one sheet shows: the text of every cell (empty for a join cell).
struct SheetTexts {
    std::string caption;
    int cols = 0, rows = 0;
    std::vector<std::vector<std::string>> texts;  // [row][col]
    std::vector<std::string> rowHeadings, colHeadings;

    const std::string& Text(int col, int row) const {
        static const std::string none;
        if (row >= rows || col >= cols) return none;
        return texts[static_cast<size_t>(row)][static_cast<size_t>(col)];
    }
};

SheetTexts ReadSheet(Sheet& sheet, const std::string& caption) {
    SheetTexts out;
    out.caption = caption;
    out.cols = sheet.ColCount();
    out.rows = sheet.RowCount();
    out.texts.assign(static_cast<size_t>(out.rows), std::vector<std::string>(out.cols));
    for (int r = 0; r < out.rows; ++r) {
        for (int c = 0; c < out.cols; ++c) {
            const CellDesc& d = sheet.Cell(c, r);
            if (d.Join()) continue;
            // The hint on adding channels follows the room left, which the
            // counters already show: it is no difference of its own.
            out.texts[static_cast<size_t>(r)][static_cast<size_t>(c)] =
                OneLine(d.cell == CL_Misc_NewChannelHint ? d.Text() : sheet.CellText(c, r));
        }
    }
    // A row is named by its fixed columns (or its first cell when the sheet
    // has none), a column by its fixed rows.
    const int headCols = std::max(1, sheet.FixedCols());
    for (int r = 0; r < out.rows; ++r) {
        std::vector<std::string> words;
        for (int c = 0; c < std::min(headCols, out.cols); ++c) words.push_back(out.Text(c, r));
        out.rowHeadings.push_back(JoinWords(words));
    }
    for (int c = 0; c < out.cols; ++c) {
        std::vector<std::string> words;
        for (int r = 0; r < sheet.FixedRows() && r < out.rows; ++r) {
            words.push_back(out.Text(sheet.OwnerOfJoin(c, r), r));
        }
        out.colHeadings.push_back(JoinWords(words));
    }
    return out;
}

// Every sheet of the tree in tree order, by node action.
struct Snapshot {
    std::vector<std::string> order;
    std::map<std::string, SheetTexts> sheets;

    bool SameTexts(const Snapshot& other) const {
        if (sheets.size() != other.sheets.size()) return false;
        for (const auto& [action, s] : sheets) {
            auto it = other.sheets.find(action);
            if (it == other.sheets.end() || it->second.texts != s.texts) return false;
        }
        return true;
    }
};

// Reads images on a document of its own. Its cells have no host: a
// comparison only reads, so whatever would ask the desktop gets nothing.
class Reader {
public:
    explicit Reader(bool makerMode) { doc_.Modes().maker = makerMode; }

    // Loads the image into the reader's document as File > Open does and
    // reads every sheet.
    Snapshot Read(const EepromImage& image) {
        doc_.Working().Assign(image);
        if (std::string problem; !doc_.AfterLoad(&problem)) fatal(problem);
        RadioTree tree(MainOverlay(), "GI_Tree_Main", doc_.Scope());
        tree.Build();
        tree.RebuildVariableBranches();
        for (int bank = 0; bank < kBankCount; ++bank)
            tree.SetBankCaption(bank, BankCaption(doc_.Working(), bank));
        Snapshot snap;
        tree.ForEach([&](TreeNode& node) {
            const std::string& action = node.Action();
            const NodeAction a = NodeAction::Split(action);
            if (a.key.empty() || !MainOverlay().TryGetText(a.key + "_Cells")) return;
            if (snap.sheets.count(action) != 0) return;
            auto sheet = CreateSheet(action, Sheet::Params{}, doc_.Scope(), cells_.Entry());
            sheet->Build(measure_);
            snap.order.push_back(action);
            snap.sheets.emplace(action, ReadSheet(*sheet, node.caption));
        });
        return snap;
    }

private:
    EventManager events_;  // what the reading raises reaches no window
    Document doc_{events_};
    CellDispatcher cells_{doc_.Scope()};
    FixedMetricsCanvas measure_;
};

void AddSheetDifferences(const std::string& action, const SheetTexts* a, const SheetTexts* b,
                         std::vector<CellDifference>* out) {
    const SheetTexts& named = a != nullptr ? *a : *b;
    static const SheetTexts empty;
    const SheetTexts& sa = a != nullptr ? *a : empty;
    const SheetTexts& sb = b != nullptr ? *b : empty;
    const int rows = std::max(sa.rows, sb.rows);
    const int cols = std::max(sa.cols, sb.cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const std::string& ta = sa.Text(c, r);
            const std::string& tb = sb.Text(c, r);
            if (ta == tb) continue;
            const SheetTexts& at = r < sa.rows && c < sa.cols ? sa : sb;
            out->push_back({action, named.caption, c, r, at.rowHeadings[static_cast<size_t>(r)],
                            at.colHeadings[static_cast<size_t>(c)], ta, tb});
        }
    }
}

// Splits the differing addresses into those whose value from B alone
// changes no text of A (listed) and the others, halving the sets that do.
void FindUncovered(Reader& reader, const EepromImage& a, const EepromImage& b,
                   const Snapshot& textsOfA, const std::vector<int32_t>& addresses,
                   std::vector<int32_t>* uncovered) {
    if (addresses.empty()) return;
    EepromImage mixed;
    mixed.Assign(a);
    for (int32_t address : addresses) mixed.SetByte(address, b.GetByte(address));
    if (reader.Read(mixed).SameTexts(textsOfA)) {
        uncovered->insert(uncovered->end(), addresses.begin(), addresses.end());
        return;
    }
    if (addresses.size() == 1) return;
    const auto half = addresses.begin() + static_cast<std::ptrdiff_t>(addresses.size() / 2);
    FindUncovered(reader, a, b, textsOfA, {addresses.begin(), half}, uncovered);
    FindUncovered(reader, a, b, textsOfA, {half, addresses.end()}, uncovered);
}

}  // namespace

ImageDifferences CompareImages(const EepromImage& a, const EepromImage& b, bool makerMode) {
    ImageDifferences result;
    Reader reader(makerMode);
    const Snapshot sa = reader.Read(a);
    const Snapshot sb = reader.Read(b);
    std::vector<std::string> order = sa.order;
    for (const std::string& action : sb.order) {
        if (sa.sheets.count(action) == 0) order.push_back(action);
    }
    for (const std::string& action : order) {
        auto ia = sa.sheets.find(action);
        auto ib = sb.sheets.find(action);
        AddSheetDifferences(action, ia != sa.sheets.end() ? &ia->second : nullptr,
                            ib != sb.sheets.end() ? &ib->second : nullptr, &result.cells);
    }

    std::vector<int32_t> differing;
    const int32_t end = std::min({a.GetSize(), b.GetSize(), kRadioAreaLimit});
    for (int32_t address = 0; address < end; ++address) {
        if (a.GetByte(address) != b.GetByte(address)) differing.push_back(address);
    }
    std::vector<int32_t> uncovered;
    if (result.cells.empty()) {
        uncovered = differing;
    } else {
        FindUncovered(reader, a, b, sa, differing, &uncovered);
    }
    std::sort(uncovered.begin(), uncovered.end());
    for (int32_t address : uncovered)
        result.bytes.push_back({address, a.GetByte(address), b.GetByte(address)});
    return result;
}

}  // namespace parlo
