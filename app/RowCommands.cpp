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

}  // namespace

void MainController::RunRowCommand(RowCommand command, CellContext& ctx, ChannelRecord& record, int a,
                            int b) {
    EepromImage& image = doc_.Working();
    const int kind = record.Kind();
    const int cursor = record.Index();
    int first = cursor, last = cursor;
    if (ctx.selection) std::tie(first, last) = *ctx.selection;
    const int category = ctx.desc->category;
    const int cell = ctx.desc->cell;
    auto markRange = [&](int from, int to) { ctx.range = std::make_pair(from, to); };
    auto moveCursor = [&](int index) { ctx.jump = CellAddress{category, cell, index}; };

    switch (command) {
        case RowCommand::Copy: {
            if (cursor < a || cursor > b) return;
            first = std::max(first, a);
            last = std::min(last, b);
            clipboard_.CopyFrom(image, kind, first, last - first + 1);
            markRange(first, last);
            ShowStatus("GI_AppMess_S_Copy");
            break;
        }
        case RowCommand::Paste: {
            const int d = cursor;
            if (d < a || d > b || !clipboard_.Accepts(kind)) return;
            const int e = std::min(clipboard_.Count(), b - d + 1);
            if (AnyPresent(image, kind, d, d + e - 1) && !Confirmed("GI_AppMess_Conv_Overwrite"))
                return;
            clipboard_.PasteKeepingAttributes(image, kind, d, e);
            if (e == 1) Events().Post(ev::kRedrawIndex, 0, d);
            else Events().Post(ev::kRedrawAll);
            markRange(d, d + e - 1);
            ShowStatus("GI_AppMess_S_Paste");
            break;
        }
        case RowCommand::MoveUp:
        case RowCommand::MoveDown: {
            const int step = command == RowCommand::MoveUp ? -1 : 1;
            if ((step < 0 && first <= a) || (step > 0 && last >= b)) return;
            // A normal paste: the rows written keep the target rows' switch
            // and bank-flag bits.
            ChannelClipboard neighbour, moved;
            neighbour.CopyFrom(image, kind, step < 0 ? first - 1 : last + 1, 1);
            moved.CopyFrom(image, kind, first, last - first + 1);
            moved.PasteTo(image, kind, first + step, moved.Count());
            neighbour.PasteTo(image, kind, step < 0 ? last : first, 1);
            markRange(first + step, last + step);
            moveCursor(step > 0 ? last + step : first + step);
            ctx.rebuildSheet = true;
            break;
        }
        case RowCommand::Clear: {
            if (!RowsMayChange(kind) || !Confirmed("GI_AppMess_Conv_Clear")) return;
            ChannelClipboard defaults;
            defaults.CopyFrom(doc_.Defaults(), kind, first, last - first + 1);
            defaults.PasteKeepingAttributes(image, kind, first, last - first + 1);
            for (int i = first; i <= last; ++i) Events().Post(ev::kRedrawIndex, 0, i);
            ShowStatus("GI_AppMess_S_Clear");
            break;
        }
        case RowCommand::Delete: {
            if (!RowsMayChange(kind)) return;
            const int s = std::min(first, cursor);
            if (AnyPresent(image, kind, first, last) && !Confirmed("GI_AppMess_Conv_Delete")) return;
            ChannelRecord r(image);
            bool referencedE = false;
            for (int i = first; i <= last; ++i) {
                r.Decode(kind, i);
                if ((r.attributes & (kAttrRefA | kAttrRefB)) && doc_.Variant() != kVariantDPmr446) {
                    ShowOverlayMessage("GI_AppMess_ChErr_DelPrio", MsgIcon::Error);
                    return;
                }
                referencedE |= (r.attributes & kAttrRefE) != 0;
            }
            if (referencedE) {
                r.attributes |= kAttrSwitchOff;
                r.Store();
            }
            deleting_ = true;
            for (int i = first; i <= last; ++i) Events().Send(ev::kDeleteChannel, 0, s);
            deleting_ = false;
            moveCursor(first);
            ctx.rebuildSheet = true;
            Events().Post(ev::kRedrawAll);
            ShowStatus("GI_AppMess_S_Delete", true);
            break;
        }
        case RowCommand::Insert: {
            if (!RowsMayChange(kind)) return;
            const int s = std::min(first, cursor);
            for (int i = first; i <= last; ++i) {
                if (BanksTotal(image) >= kChannelSlots || !ChannelCapacityOk(image, 1)) {
                    ShowOverlayMessage("GI_AppMess_ChErr_Overflow", MsgIcon::Error);
                    break;
                }
                Events().Send(ev::kInsertChannel, 0, s);
                doc_.RebuildModelData();
            }
            markRange(first, last);
            ShowStatus("GI_AppMess_S_Insert");
            break;
        }
    }
    record.Reload();
    doc_.RebuildModelData();
    RefreshTitle();
}

}  // namespace parlo
