// The popup-menu commands on the rows of a list-like sheet: copy, paste,
// move up and down, clear, delete and insert, through the channel clipboard.
#include "app/MainController.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayMessage.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

// Clear, delete and insert are offered for the channels and the user
// characters only.
bool RowsMayChange(int kind) { return IsChannelKind(kind) || kind == 5; }

void ShowStatus(const char* key, bool post = false) {
    const std::string text = OvlText(key);
    if (post) {
        Events().PostText(ev::kStatusText, 0x80000008, 0x8000000F, text);
    } else {
        Events().SendText(ev::kStatusText, 0x80000008, 0x8000000F, text);
    }
}

bool AnyPresent(EepromImage& image, int kind, int first, int last) {
    ChannelRecord r(image);
    for (int i = first; i <= last; ++i) {
        r.Decode(kind, i);
        if (r.present) return true;
    }
    return false;
}

bool Confirmed(const char* key) {
    return ShowOverlayMessage(key, MsgIcon::Warning, MsgButtons::OkCancel) == MsgAnswer::Ok;
}

// One row command on rows first..last (the selection, else the cursor row)
// of a sheet whose rows a..b the command may touch. Each step returns
// whether it ran; a refused command leaves everything as it was.
struct RowCommandRun {
    Document& doc;
    ChannelClipboard& clipboard;
    bool& deleting;
    CellContext& ctx;
    EepromImage& image;
    int kind, cursor, first, last, a, b;

    void MarkRange(int from, int to) { ctx.range = std::make_pair(from, to); }
    void MoveCursor(int index) {
        ctx.jump = CellAddress{ctx.desc->category, ctx.desc->cell, index};
    }

    bool Copy() {
        if (cursor < a || cursor > b) return false;
        first = std::max(first, a);
        last = std::min(last, b);
        clipboard.CopyFrom(image, kind, first, last - first + 1);
        MarkRange(first, last);
        ShowStatus("GI_AppMess_S_Copy");
        return true;
    }

    bool Paste() {
        const int d = cursor;
        if (d < a || d > b || !clipboard.Accepts(kind)) return false;
        const int e = std::min(clipboard.Count(), b - d + 1);
        if (AnyPresent(image, kind, d, d + e - 1) && !Confirmed("GI_AppMess_Conv_Overwrite"))
            return false;
        clipboard.PasteKeepingAttributes(image, kind, d, e);
        if (e == 1)
            Events().Post(ev::kRedrawIndex, 0, d);
        else
            Events().Post(ev::kRedrawAll);
        MarkRange(d, d + e - 1);
        ShowStatus("GI_AppMess_S_Paste");
        return true;
    }

    bool Move(int step) {
        if ((step < 0 && first <= a) || (step > 0 && last >= b)) return false;
        // A normal paste: the rows written keep the target rows' switch
        // and bank-flag bits.
        ChannelClipboard neighbour, moved;
        neighbour.CopyFrom(image, kind, step < 0 ? first - 1 : last + 1, 1);
        moved.CopyFrom(image, kind, first, last - first + 1);
        moved.PasteTo(image, kind, first + step, moved.Count());
        neighbour.PasteTo(image, kind, step < 0 ? last : first, 1);
        MarkRange(first + step, last + step);
        MoveCursor(step > 0 ? last + step : first + step);
        ctx.rebuildSheet = true;
        return true;
    }

    bool Clear() {
        if (!RowsMayChange(kind) || !Confirmed("GI_AppMess_Conv_Clear")) return false;
        ChannelClipboard defaults;
        defaults.CopyFrom(doc.Defaults(), kind, first, last - first + 1);
        defaults.PasteKeepingAttributes(image, kind, first, last - first + 1);
        for (int i = first; i <= last; ++i) Events().Post(ev::kRedrawIndex, 0, i);
        ShowStatus("GI_AppMess_S_Clear");
        return true;
    }

    bool Delete() {
        if (!RowsMayChange(kind)) return false;
        const int s = std::min(first, cursor);
        if (AnyPresent(image, kind, first, last) && !Confirmed("GI_AppMess_Conv_Delete"))
            return false;
        ChannelRecord r(image);
        bool referencedE = false;
        for (int i = first; i <= last; ++i) {
            r.Decode(kind, i);
            if ((r.attributes & (kAttrRefA | kAttrRefB)) && doc.Variant() != kVariantDPmr446) {
                ShowOverlayMessage("GI_AppMess_ChErr_DelPrio", MsgIcon::Error);
                return false;
            }
            referencedE |= (r.attributes & kAttrRefE) != 0;
        }
        if (referencedE) {
            r.attributes |= kAttrSwitchOff;
            r.Store();
        }
        deleting = true;
        for (int i = first; i <= last; ++i) Events().Send(ev::kDeleteChannel, 0, s);
        deleting = false;
        MoveCursor(first);
        ctx.rebuildSheet = true;
        Events().Post(ev::kRedrawAll);
        ShowStatus("GI_AppMess_S_Delete", true);
        return true;
    }

    bool Insert() {
        if (!RowsMayChange(kind)) return false;
        const int s = std::min(first, cursor);
        for (int i = first; i <= last; ++i) {
            if (BanksTotal(image) >= kChannelSlots || !ChannelCapacityOk(image, 1)) {
                ShowOverlayMessage("GI_AppMess_ChErr_Overflow", MsgIcon::Error);
                break;
            }
            Events().Send(ev::kInsertChannel, 0, s);
            doc.RebuildModelData();
        }
        MarkRange(first, last);
        ShowStatus("GI_AppMess_S_Insert");
        return true;
    }
};

}  // namespace

void MainController::RunRowCommand(RowCommand command, CellContext& ctx, ChannelRecord& record,
                                   int a, int b) {
    const int cursor = record.Index();
    int first = cursor, last = cursor;
    if (ctx.selection) std::tie(first, last) = *ctx.selection;
    RowCommandRun run{doc_,  clipboard_, deleting_, ctx, doc_.Working(), record.Kind(), cursor,
                      first, last,       a,         b};
    bool done = false;
    switch (command) {
        case RowCommand::Copy: done = run.Copy(); break;
        case RowCommand::Paste: done = run.Paste(); break;
        case RowCommand::MoveUp: done = run.Move(-1); break;
        case RowCommand::MoveDown: done = run.Move(1); break;
        case RowCommand::Clear: done = run.Clear(); break;
        case RowCommand::Delete: done = run.Delete(); break;
        case RowCommand::Insert: done = run.Insert(); break;
    }
    if (!done) return;
    record.Reload();
    doc_.RebuildModelData();
    RefreshTitle();
}

}  // namespace parlo
