#include "app/ImageComparison.h"

#include <algorithm>
#include <chrono>

#include "app/ComparisonReader.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "runtime/EventManager.h"

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

// How long one step works on the bytes: well inside a frame.
constexpr auto kStepTime = std::chrono::milliseconds(4);

bool Meet(const std::vector<int32_t>& sortedA, const std::vector<int32_t>& sortedB) {
    auto i = sortedA.begin();
    auto j = sortedB.begin();
    while (i != sortedA.end() && j != sortedB.end()) {
        if (*i == *j) return true;
        if (*i < *j) {
            ++i;
        } else {
            ++j;
        }
    }
    return false;
}

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
            const std::string& ta = sa.Compared(c, r);
            const std::string& tb = sb.Compared(c, r);
            if (ta == tb) continue;
            const SheetTexts& at = r < sa.rows && c < sa.cols ? sa : sb;
            out->push_back({action, named.caption, c, r, at.rowHeadings[static_cast<size_t>(r)],
                            at.colHeadings[static_cast<size_t>(c)], ta, tb});
        }
    }
}

}  // namespace

// The images, both readers, and where the work stands.
struct ImageComparison::Work {
    Work(const EepromImage& a, const EepromImage& b, bool maker)
        : readerA(maker, true), readerB(maker, false) {
        imageA.Assign(a);
        imageB.Assign(b);
    }

    enum class Phase { LoadA, SheetsA, LoadB, SheetsB, Cells, Bytes, Done };

    void Next(ImageDifferences& result);
    void FindDifferingBytes();
    bool Covered(int32_t x);
    bool CoveredThroughLoading(int32_t x);
    bool ChangesTexts(const std::vector<int32_t>& at, const std::vector<uint8_t>& to);

    EepromImage imageA, imageB;
    ComparisonReader readerA, readerB;
    // A loaded anew with one byte of B, for the bytes that steer loading;
    // it keeps A's variant and factory image between bytes.
    EventManager scratchEvents;
    Document scratch{scratchEvents};
    Phase phase = Phase::LoadA;
    size_t next = 0;
    std::vector<int32_t> differing, uncovered;
    // The image bytes of A that copy each file byte: copyStart[x] ..
    // copyStart[x + 1] in copies.
    std::vector<int32_t> copyStart, copies;
};

void ImageComparison::Work::Next(ImageDifferences& result) {
    switch (phase) {
        case Phase::LoadA:
            readerA.Load(imageA);
            phase = Phase::SheetsA;
            return;
        case Phase::SheetsA:
            if (next < readerA.SheetCount()) readerA.ReadSheet(next++);
            if (next == readerA.SheetCount()) phase = Phase::LoadB, next = 0;
            return;
        case Phase::LoadB:
            readerB.Load(imageB);
            phase = Phase::SheetsB;
            return;
        case Phase::SheetsB:
            if (next < readerB.SheetCount()) readerB.ReadSheet(next++);
            if (next == readerB.SheetCount()) phase = Phase::Cells, next = 0;
            return;
        case Phase::Cells: {
            std::vector<std::string> order = readerA.Order();
            for (const std::string& action : readerB.Order()) {
                if (readerA.Find(action) == nullptr) order.push_back(action);
            }
            for (const std::string& action : order)
                AddSheetDifferences(action, readerA.Find(action), readerB.Find(action),
                                    &result.cells);
            FindDifferingBytes();
            phase = Phase::Bytes;
            return;
        }
        case Phase::Bytes: {
            const auto until = std::chrono::steady_clock::now() + kStepTime;
            while (next < differing.size() && std::chrono::steady_clock::now() < until) {
                const int32_t x = differing[next++];
                if (!Covered(x)) uncovered.push_back(x);
            }
            if (next < differing.size()) return;
            for (int32_t address : uncovered)
                result.bytes.push_back({address, imageA.GetByte(address), imageB.GetByte(address)});
            phase = Phase::Done;
            return;
        }
        case Phase::Done: return;
    }
}

void ImageComparison::Work::FindDifferingBytes() {
    const int32_t end = std::min({imageA.GetSize(), imageB.GetSize(), kRadioAreaLimit});
    for (int32_t address = 0; address < end; ++address) {
        if (imageA.GetByte(address) != imageB.GetByte(address)) differing.push_back(address);
    }
    // From here on A's cells are read again with some bytes changed; what
    // the watching learnt stays as it is.
    EepromImage& working = readerA.Doc().Working();
    working.Observe(nullptr);
    const ReadTracker& tracker = readerA.Tracker();
    copyStart.assign(static_cast<size_t>(end) + 1, 0);
    for (int32_t a = 0; a < working.GetSize(); ++a) {
        const int32_t from = tracker.Source(a);
        if (from >= 0 && from < end) ++copyStart[static_cast<size_t>(from) + 1];
    }
    for (size_t x = 0; x < static_cast<size_t>(end); ++x) copyStart[x + 1] += copyStart[x];
    copies.assign(static_cast<size_t>(copyStart.back()), 0);
    std::vector<int32_t> fill(copyStart.begin(), copyStart.end() - 1);
    for (int32_t a = 0; a < working.GetSize(); ++a) {
        const int32_t from = tracker.Source(a);
        if (from >= 0 && from < end) copies[static_cast<size_t>(fill[static_cast<size_t>(from)]++)] = a;
    }
}

// Whether B's byte at x alone, in A, changes a text of A.
bool ImageComparison::Work::Covered(int32_t x) {
    if (readerA.Tracker().SteersLoading(x)) return CoveredThroughLoading(x);
    const std::vector<int32_t> at(copies.begin() + copyStart[static_cast<size_t>(x)],
                                  copies.begin() + copyStart[static_cast<size_t>(x) + 1]);
    if (at.empty()) return false;
    return ChangesTexts(at, std::vector<uint8_t>(at.size(), imageB.GetByte(x)));
}

// A byte the loading reads (the packed directory, the variant, the banks'
// sizes): A with it is loaded anew and compared whole.
bool ImageComparison::Work::CoveredThroughLoading(int32_t x) {
    Document& loaded = readerA.Doc();
    EepromImage& mixed = scratch.Working();
    mixed.Assign(imageA);
    mixed.SetByte(x, imageB.GetByte(x));
    // Another variant shows other sheets (and would read its initial file).
    EepromImage unpacked;
    unpacked.Assign(mixed);
    Unpack(unpacked);
    if (VariantFromImage(unpacked) != loaded.Variant()) return true;
    if (scratch.Defaults().GetByte(0) == 0) {
        scratch.Defaults().Assign(loaded.Defaults());
        scratch.SetVariant(loaded.Variant());
        scratch.Modes() = loaded.Modes();
    }
    if (std::string problem; !scratch.AfterLoad(&problem)) fatal(problem);
    std::vector<int32_t> at;
    std::vector<uint8_t> to;
    const EepromImage& now = loaded.Working();
    const EepromImage& then = scratch.Working();
    for (int32_t a = 0; a < now.GetSize(); ++a) {
        if (now.GetByte(a) == then.GetByte(a)) continue;
        at.push_back(a);
        to.push_back(then.GetByte(a));
    }
    if (at.empty()) return false;
    return ChangesTexts(at, to);
}

// Whether B's file byte x alone changes a text of A, where it leaves `to`
// at `at` (sorted) in A's loaded image: the cells that read those bytes
// are read again, and the sheets whose layout reads them built again (a
// cell reads only what its text depends on, so no other text can change).
bool ImageComparison::Work::ChangesTexts(const std::vector<int32_t>& at,
                                         const std::vector<uint8_t>& to) {
    EepromImage& working = readerA.Doc().Working();
    std::vector<uint8_t> was(at.size());
    for (size_t i = 0; i < at.size(); ++i) {
        was[i] = working.GetByte(at[i]);
        working.SetByte(at[i], to[i]);
    }
    // The tree decides which sheets there are; a sheet whose layout reads
    // the bytes is built again, the cells of the others read again.
    bool changed = Meet(at, readerA.TreeReads()) && readerA.SheetsOfTree() != readerA.Order();
    std::vector<char> rebuild(readerA.SheetCount(), 0);
    for (size_t s = 0; s < readerA.SheetCount(); ++s) rebuild[s] = Meet(at, readerA.LayoutReads(s));
    if (!changed) {
        for (const ComparisonReader::CellAt& cell : readerA.CellsReading(at)) {
            if (rebuild[static_cast<size_t>(cell.sheet)]) continue;
            const SheetTexts& texts = readerA.TextsOf(static_cast<size_t>(cell.sheet));
            if (readerA.ReadAgain(cell) != texts.Text(cell.col, cell.row)) {
                changed = true;
                break;
            }
        }
    }
    for (size_t s = 0; s < readerA.SheetCount() && !changed; ++s)
        changed = rebuild[s] && readerA.ChangedWhenBuiltAgain(s);
    for (size_t i = 0; i < at.size(); ++i) working.SetByte(at[i], was[i]);
    return changed;
}

ImageComparison::ImageComparison(const EepromImage& a, const EepromImage& b, bool makerMode)
    : work_(std::make_unique<Work>(a, b, makerMode)) {}

ImageComparison::~ImageComparison() = default;

bool ImageComparison::Step() {
    work_->Next(result_);
    return work_->phase != Work::Phase::Done;
}

double ImageComparison::Progress() const {
    const Work& w = *work_;
    // A sheet read counts as much as 50 bytes tried; B is taken to have as
    // many sheets as A until it is loaded.
    const double sheetsA = static_cast<double>(w.readerA.SheetCount());
    const double sheetsB = w.phase >= Work::Phase::SheetsB
                               ? static_cast<double>(w.readerB.SheetCount())
                               : sheetsA;
    const double bytes = static_cast<double>(w.differing.size()) / 50.0;
    const double total = 2.0 + sheetsA + sheetsB + (w.phase >= Work::Phase::Bytes ? bytes : 0.0);
    double done = 0.0;
    switch (w.phase) {
        case Work::Phase::LoadA: return 0.0;
        case Work::Phase::SheetsA: done = 1.0 + static_cast<double>(w.next); break;
        case Work::Phase::LoadB: done = 1.0 + sheetsA; break;
        case Work::Phase::SheetsB: done = 2.0 + sheetsA + static_cast<double>(w.next); break;
        case Work::Phase::Cells: done = 2.0 + sheetsA + sheetsB; break;
        case Work::Phase::Bytes:
            done = 2.0 + sheetsA + sheetsB + static_cast<double>(w.next) / 50.0;
            break;
        case Work::Phase::Done: return 1.0;
    }
    return std::min(1.0, done / total);
}

ImageDifferences CompareImages(const EepromImage& a, const EepromImage& b, bool makerMode) {
    ImageComparison comparison(a, b, makerMode);
    while (comparison.Step()) {
    }
    return comparison.Result();
}

}  // namespace parlo
