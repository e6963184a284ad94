// The popup-menu commands on the rows of a list-like sheet: copy, paste,
// move up and down, clear, delete and insert, through the channel clipboard.
#include "app/MainController.h"
#include "cells/ChannelRoom.h"
#include "model/BankMap.h"
#include "model/ChannelArray.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayMessage.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

constexpr int kUserCharacterKind = 5;
constexpr int kUserCharacters = 16;

// Clear, delete and insert are offered for the channels and the user
// characters only.
bool RowsMayChange(int kind) { return IsChannelKind(kind) || kind == kUserCharacterKind; }

void ShowStatus(EventManager& events, const char* key, bool post = false) {
    StatusText status{OvlText(key), 0x80000008, 0x8000000F};
    if (post) {
        events.Post(ev::kStatusText, std::move(status));
    } else {
        events.Send(ev::kStatusText, std::move(status));
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

// "3 channels", "1 user character": the rows a command changed, as the undo
// history names them.
std::string RowsText(int kind, int count) {
    const char* noun = IsChannelKind(kind)          ? "channel"
                       : kind == kUserCharacterKind ? "user character"
                                                    : "row";
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// The user characters are a table of 16 places: a deleted one makes the
// ones below move up, and the last place takes its factory shape; an
// inserted one makes them move down (the last one drops out) and takes the
// factory shape of its place.
void DeleteUserCharacter(EepromImage& image, EepromImage& defaults, int row) {
    RecordClipboard rows;
    rows.CopyFrom(image, kUserCharacterKind, row + 1, kUserCharacters - 1 - row);
    rows.PasteTo(image, kUserCharacterKind, row, rows.Count());
    rows.CopyFrom(defaults, kUserCharacterKind, kUserCharacters - 1, 1);
    rows.PasteTo(image, kUserCharacterKind, kUserCharacters - 1, 1);
}

void InsertUserCharacter(EepromImage& image, EepromImage& defaults, int row) {
    RecordClipboard rows;
    rows.CopyFrom(image, kUserCharacterKind, row, kUserCharacters - 1 - row);
    rows.PasteTo(image, kUserCharacterKind, row + 1, rows.Count());
    rows.CopyFrom(defaults, kUserCharacterKind, row, 1);
    rows.PasteTo(image, kUserCharacterKind, row, 1);
}

// One row command on rows first..last (the selection, else the cursor row)
// of a sheet whose rows a..b the command may touch: the channels of the bank
// on screen, or all rows of the kind. Each command returns whether it
// changed the image; a refused command leaves everything as it was and, where
// the cursor is outside the rows, shows nothing.
struct RowCommandRun {
    Document& doc;
    ChannelClipboard& clipboard;
    bool& deleting;
    CellContext& ctx;
    EepromImage& image;
    int kind, cursor, first, last, a, b;
    int bank;          // the bank of rows a..b (channels)
    std::string step;  // what the command changed, for the undo history

    EventManager& Events() { return doc.Events(); }
    void MarkRange(int from, int to) { ctx.range = std::make_pair(from, to); }
    void MoveCursor(int index) {
        ctx.jump = CellAddress{ctx.desc->category, ctx.desc->cell, index};
    }
    bool OnRows() const { return cursor >= a && cursor <= b; }
    // Only rows of the bank on screen take part.
    void CutToRows() {
        first = std::max(first, a);
        last = std::min(last, b);
        if (first > last) first = last = cursor;
    }
    int Count() const { return last - first + 1; }
    void Name(const char* verb, int count) {
        step = std::string(verb) + " " + RowsText(kind, count);
    }

    // A gap opens at the slot, or closes there, and the bank on screen
    // grows or shrinks by one; the views follow.
    void InsertChannel(int slot) {
        doc.InsertChannel(bank, slot);
        Events().Send(ev::kChannelAppended);
        doc.RebuildModelData();
        Events().Send(ev::kViewsRefresh);
    }
    void DeleteChannel(int slot) {
        doc.DeleteChannel(bank, slot);
        Events().Send(ev::kChannelRemoved);
        Events().Send(ev::kRedrawIndexUp, {slot});
        doc.RebuildModelData();
        Events().Send(ev::kViewsRefresh);
    }

    bool Copy() {
        if (!OnRows()) return false;
        CutToRows();
        clipboard.CopyFrom(image, kind, first, Count());
        MarkRange(first, last);
        ShowStatus(Events(), "GI_AppMess_S_Copy");
        return false;
    }

    bool Paste() {
        const int d = cursor;
        if (d < a || d > b || !clipboard.Accepts(kind)) return false;
        const int e = std::min(clipboard.Count(), b - d + 1);
        if (AnyPresent(image, kind, d, d + e - 1) && !Confirmed("GI_AppMess_Conv_Overwrite"))
            return false;
        clipboard.PasteKeepingAttributes(image, kind, d, e);
        if (e == 1)
            Events().Post(ev::kRedrawIndex, {d});
        else
            Events().Post(ev::kRedrawAll);
        MarkRange(d, d + e - 1);
        ShowStatus(Events(), "GI_AppMess_S_Paste");
        Name("Paste", e);
        return true;
    }

    bool Move(int direction) {
        if (!OnRows()) return false;
        CutToRows();
        if ((direction < 0 && first <= a) || (direction > 0 && last >= b)) return false;
        // A normal paste: the rows written keep the target rows' switch
        // and bank-flag bits.
        ChannelClipboard neighbour, moved;
        neighbour.CopyFrom(image, kind, direction < 0 ? first - 1 : last + 1, 1);
        moved.CopyFrom(image, kind, first, Count());
        moved.PasteTo(image, kind, first + direction, moved.Count());
        neighbour.PasteTo(image, kind, direction < 0 ? last : first, 1);
        MarkRange(first + direction, last + direction);
        MoveCursor(direction > 0 ? last + direction : first + direction);
        ctx.rebuildSheet = true;
        Name(direction < 0 ? "Move up" : "Move down", Count());
        return true;
    }

    bool Clear() {
        if (!RowsMayChange(kind) || !OnRows()) return false;
        CutToRows();
        if (!Confirmed("GI_AppMess_Conv_Clear")) return false;
        if (IsChannelKind(kind)) {
            ChannelArray channels(image, doc.Defaults(), kind);
            for (int i = first; i <= last; ++i) channels.Blank(i);
        } else {
            ChannelClipboard defaults;
            defaults.CopyFrom(doc.Defaults(), kind, first, Count());
            defaults.PasteKeepingAttributes(image, kind, first, Count());
        }
        for (int i = first; i <= last; ++i) Events().Post(ev::kRedrawIndex, {i});
        ShowStatus(Events(), "GI_AppMess_S_Clear");
        Name("Clear", Count());
        return true;
    }

    // The priority channels stay (LMR and both PMR variants); the channel the
    // third reference points at gives it up.
    bool ReferencesAllowDelete() {
        if (!IsChannelKind(kind)) return true;
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
        return true;
    }

    bool Delete() {
        if (!RowsMayChange(kind) || !OnRows()) return false;
        CutToRows();
        const int s = std::min(first, cursor);
        if (AnyPresent(image, kind, first, last) && !Confirmed("GI_AppMess_Conv_Delete"))
            return false;
        if (!ReferencesAllowDelete()) return false;
        deleting = true;
        for (int i = first; i <= last; ++i) {
            if (IsChannelKind(kind))
                DeleteChannel(s);
            else
                DeleteUserCharacter(image, doc.Defaults(), s);
        }
        deleting = false;
        MoveCursor(first);
        ctx.rebuildSheet = true;
        Events().Post(ev::kRedrawAll);
        ShowStatus(Events(), "GI_AppMess_S_Delete", true);
        Name("Delete", Count());
        return true;
    }

    // On the row for adding a channel, one blank channel goes to the end of
    // the bank on screen.
    bool Insert() {
        if (!RowsMayChange(kind)) return false;
        const bool channels = IsChannelKind(kind);
        const bool newRow = channels && cursor == b + 1;
        if ((!OnRows() && !newRow) || (channels && (bank < 0 || bank >= kBankCount))) return false;
        if (newRow)
            first = last = cursor;
        else
            CutToRows();
        const int s = std::min(first, cursor);
        int inserted = 0;
        for (int i = first; i <= last; ++i) {
            if (channels && !ChannelSlotFree(image)) {
                ShowNoRoom(image);
                break;
            }
            if (channels) {
                InsertChannel(s);
                doc.RebuildModelData();
            } else {
                InsertUserCharacter(image, doc.Defaults(), s);
            }
            ++inserted;
        }
        if (inserted == 0) return false;
        MarkRange(first, first + inserted - 1);
        ShowStatus(Events(), "GI_AppMess_S_Insert");
        Name("Insert", inserted);
        return true;
    }
};

}  // namespace

void MainController::RunRowCommand(RowCommand command, CellContext& ctx, ChannelRecord& record,
                                   int a, int b) {
    const int cursor = record.Index();
    const int kind = record.Kind();
    int first = cursor, last = cursor;
    if (ctx.selection) std::tie(first, last) = *ctx.selection;
    // The bank on screen; without a bank sheet, the bank of the rows.
    int bank = kNoBank;
    if (IsChannelKind(kind)) {
        bank = CurrentBankShown(Events());
        if (bank < 0) bank = BankOfSlot(doc_.Working(), a <= b ? a : cursor);
    }
    RowCommandRun run{doc_,  clipboard_, deleting_, ctx, doc_.Working(), kind, cursor,
                      first, last,       a,         b,   bank,           {}};
    bool changed = false;
    switch (command) {
        case RowCommand::Copy:
            changed = run.Copy();
            if (ctx.range) CopyRowsAsText(ctx, ctx.range->first, ctx.range->second);
            break;
        case RowCommand::Paste: {
            // Text from another program is typed into the cells; what the
            // last copy here put there is pasted as whole records.
            const std::string text = systemClipboard_->Text();
            if (!text.empty() && text != copiedText_) {
                changed = PasteText(ctx, text);
                if (changed) run.step = "Paste text";
            } else {
                changed = run.Paste();
            }
            break;
        }
        case RowCommand::MoveUp: changed = run.Move(-1); break;
        case RowCommand::MoveDown: changed = run.Move(1); break;
        case RowCommand::Clear: changed = run.Clear(); break;
        case RowCommand::Delete: changed = run.Delete(); break;
        case RowCommand::Insert: changed = run.Insert(); break;
    }
    record.Reload();
    if (changed) {
        doc_.RebuildModelData();
        warningDelay_.Start(kWarningDelayMs);  // the check refreshes the counts shown
        rowStep_ = run.step;
    }
    RefreshTitle();
}

}  // namespace parlo
