// The overlay reader and the sheet description language, with the input as
// a whole overlay file, read from memory: the navigation tree is built from
// it and one of the pages it names (the input's size picks which, and
// whether it is laid out for the screen or for printing) is built and drawn
// on a factory document with a few channels per bank, as the desktop
// program shows it. One page per input keeps each run short (about a
// millisecond); the many inputs reach every kind of page. A broken overlay
// may end in a program error, as it ends the program; anything else (a
// crash, a hang, undefined behaviour) is a finding.
#include <array>
#include <string>
#include <vector>

#include "app/Document.h"
#include "cells/CellDispatcher.h"
#include "cells/CellHost.h"
#include "fuzz/FuzzSupport.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "runtime/EventManager.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"
#include "tests/support/VirtualScheduler.h"

using namespace parlo;

namespace {

constexpr int kMaxCellsDrawn = 2000;
constexpr int kChannelsPerBank = 3;

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
    std::array<EepromImage, kVariantCount> documents;

    Setting() {
        SetEventManager(&events);
        for (int v = 0; v < kVariantCount; ++v) {
            if (!doc.SelectModel(v)) fuzz::Finding("an initial file cannot be read");
            defaults[static_cast<size_t>(v)].Assign(doc.Defaults());
            // A few channels per bank show every kind of channel row; the
            // factory's full banks would only repeat them.
            doc.NewFromDefaults();
            for (int bank = 0; bank < kBankCount; ++bank) {
                const int size = BankSize(doc.Working(), bank);
                SetBankSize(doc.Working(), bank, std::min(size, kChannelsPerBank));
            }
            doc.RebuildModelData();
            documents[static_cast<size_t>(v)].Assign(doc.Working());
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
// The page `pick` chooses round the tree, for the screen or for printing.
void ShowPage(OverlayText& overlay, int variant, size_t pick) {
    RadioTree tree(overlay, "GI_Tree_Main");
    tree.Build();
    tree.RebuildVariableBranches(variant, true, true);
    std::vector<std::string> actions;
    tree.ForEach([&](TreeNode& n) { actions.push_back(n.Action()); });
    if (actions.empty()) return;
    Sheet::Params params;
    if (pick % 2 == 1) {
        params.printerFontHeight = -50;
        params.printScale = 5;
    }
    auto sheet =
        CreateSheet(actions[pick / 2 % actions.size()], params, TheSetting().cells.Entry());
    FixedMetricsCanvas measure;
    sheet->Build(measure);
    DrawAll(*sheet);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::SetUpOnce();
    Setting& s = TheSetting();
    const int variant = static_cast<int>(size % kVariantCount);
    s.doc.Defaults().Assign(s.defaults[static_cast<size_t>(variant)]);
    SetCurrentVariant(variant);
    s.doc.Working().Assign(s.documents[static_cast<size_t>(variant)]);

    OverlayText overlay;
    overlay.SetBytes(std::string(reinterpret_cast<const char*>(data), size));
    OverlayText* shipped = SetMainOverlay(&overlay);
    for (const bool pages : {true, false}) {
        try {
            // Then the event loop's pass, which the program runs every few
            // milliseconds: what the pages posted is handled and the
            // subscriptions they dropped are let go, also after an error.
            if (pages)
                ShowPage(overlay, variant, size / kVariantCount);
            else
                s.clock.Advance(EventManager::kDispatchPeriodMs);
        } catch (const fuzz::FatalError&) {
            // A broken overlay is a program error by design.
        }
    }
    SetMainOverlay(shipped);
    return 0;
}
