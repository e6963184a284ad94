// The overlay reader and the sheet description language, with the input as
// a whole overlay file: the navigation tree is built from it and the pages
// it names (twelve of them, from one the input's size picks; two of them also
// laid out for printing) are built and drawn on a factory document, as the
// desktop program shows them. A broken overlay may end in a program error,
// as it ends the program; anything else (a crash, a hang, undefined
// behaviour) is a finding.
#include <array>
#include <string>
#include <vector>

#include "app/Document.h"
#include "cells/CellDispatcher.h"
#include "cells/CellHost.h"
#include "fuzz/FuzzSupport.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "runtime/EventManager.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"
#include "tests/support/VirtualScheduler.h"

using namespace parlo;

namespace {

// Enough pages to reach every kind of sheet, few enough to keep a run short.
constexpr size_t kMaxPages = 12;
constexpr size_t kMaxPrintedPages = 2;
constexpr int kMaxCellsDrawn = 5000;

// What cells ask of the application, answered as a viewer would.
class ViewerHost : public CellHost {
public:
    explicit ViewerHost(Document& doc) : doc_(doc) {}
    void RunCommand(int, int32_t, const CellContext&) override {}
    void RunRowCommand(RowCommand, CellContext&, ChannelRecord&, int, int) override {}
    void ContextHelp(int, int, int32_t) override {}
    bool AppendChannel(int) override { return false; }
    EepromImage& DefaultImage() override { return doc_.Defaults(); }
    void CellEdited() override {}

private:
    Document& doc_;
};

// The factory documents, read once with the shipped overlay.
struct Setting {
    test::VirtualScheduler clock;
    EventManager events{clock};
    Document doc;
    ViewerHost host{doc};
    CellDispatcher cells{&host};
    std::array<EepromImage, kVariantCount> defaults;

    Setting() {
        SetEventManager(&events);
        for (int v = 0; v < kVariantCount; ++v) {
            if (!doc.SelectModel(v)) fuzz::Finding("an initial file cannot be read");
            defaults[static_cast<size_t>(v)].Assign(doc.Defaults());
        }
    }
};

Setting& TheSetting() {
    static Setting* s = new Setting;
    return *s;
}

void DrawAll(Sheet& sheet) {
    FixedMetricsCanvas canvas;
    int drawn = 0;
    for (int r = 0; r < sheet.RowCount(); ++r) {
        for (int c = 0; c < sheet.ColCount() && drawn < kMaxCellsDrawn; ++c, ++drawn)
            sheet.DrawCell(canvas, c, r, Rect{0, 0, sheet.ColWidth(c), sheet.RowHeight(r)}, true);
    }
}

// Twelve pages from the `first` one on, round the tree.
void ShowPages(OverlayText& overlay, int variant, size_t first) {
    RadioTree tree(overlay, "GI_Tree_Main");
    tree.Build();
    tree.RebuildVariableBranches(variant, true, true);
    std::vector<std::string> actions;
    tree.ForEach([&](TreeNode& n) { actions.push_back(n.Action()); });
    for (size_t page = 0; page < actions.size() && page < kMaxPages; ++page) {
        const std::string& action = actions[(first + page) % actions.size()];
        for (bool printing : {false, true}) {
            if (printing && page >= kMaxPrintedPages) break;
            Sheet::Params params;
            if (printing) {
                params.printerFontHeight = -50;
                params.printScale = 5;
            }
            auto sheet = CreateSheet(action, params, TheSetting().cells.Entry());
            FixedMetricsCanvas measure;
            sheet->Build(measure);
            DrawAll(*sheet);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::SetUpOnce();
    Setting& s = TheSetting();
    const int variant = static_cast<int>(size % kVariantCount);
    s.doc.Defaults().Assign(s.defaults[static_cast<size_t>(variant)]);
    SetCurrentVariant(variant);
    s.doc.NewFromDefaults();

    OverlayText overlay;
    overlay.SetBytes(std::string(reinterpret_cast<const char*>(data), size));
    OverlayText* shipped = SetMainOverlay(&overlay);
    try {
        ShowPages(overlay, variant, size / kVariantCount);
    } catch (const fuzz::FatalError&) {
        // A broken overlay is a program error by design.
    }
    SetMainOverlay(shipped);
    return 0;
}
