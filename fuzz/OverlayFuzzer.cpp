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

// The factory documents, read once with the shipped overlay.
struct Setting {
    test::VirtualScheduler clock;
    EventManager events{clock};
    Document doc{events};
    CellDispatcher cells{doc.Scope()};  // no host: what cells ask of a window gets nothing
    std::array<EepromImage, kVariantCount> defaults;
    std::array<EepromImage, kVariantCount> documents;

    Setting() {
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

// The page `pick` chooses round the tree, for the screen or for printing.
void ShowPage(OverlayText& overlay, size_t pick) {
    Document& doc = TheSetting().doc;
    doc.Modes() = {true, true};
    RadioTree tree(overlay, "GI_Tree_Main", doc.Scope());
    tree.Build();
    tree.RebuildVariableBranches();
    std::vector<std::string> actions;
    tree.ForEach([&](TreeNode& n) { actions.push_back(n.Action()); });
    if (actions.empty()) return;
    Sheet::Params params;
    if (pick % 2 == 1) {
        params.printerFontHeight = -50;
        params.printScale = 5;
    }
    auto sheet = CreateSheet(actions[pick / 2 % actions.size()], params, doc.Scope(),
                             TheSetting().cells.Entry());
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
    s.doc.SetVariant(variant);
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
                ShowPage(overlay, size / kVariantCount);
            else
                s.clock.Advance(EventManager::kDispatchPeriodMs);
        } catch (const fuzz::FatalError&) {
            // A broken overlay is a program error by design.
        }
    }
    SetMainOverlay(shipped);
    return 0;
}
