// parlo-cli get / set / key / pick: the scripting face of every cell.
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "cells/CellDispatcher.h"
#include "cells/CellIndexRange.h"
#include "cells/CellNames.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "codecs/OverlayList.h"
#include "model/BankMap.h"
#include "platform/TerminalText.h"
#include "platform/NumberText.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"

namespace parlo::cli {

namespace {

// Cells whose records come from a category of their own; a reference
// without a category takes it from the cell's family.
struct FamilyCategory {
    const char* prefix;
    int category;
};
constexpr FamilyCategory kFamilyCategories[] = {
    {"CL_Mch_BankText", CT_BankOp},
    {"CL_Mch_Bank", kNoCategory},
    {"CL_Mch_SmarTrunk", kNoCategory},
    {"CL_Mch_UsedCHs", kNoCategory},
    {"CL_Mch_", CT_Mch},
    {"CL_Dtmf_", CT_DTMF},
    {"CL_ScanList_", CT_Scan},
    {"CL_CTone_", CT_CTone},
    {"CL_5TRx_", CT_RX_Code},
    {"CL_5TTx_", CT_TX_Code},
    {"CL_Select_", CT_TX_Code},
    {"CL_2TTx_", CT_2Tone_Code},
    {"CL_2T_", CT_2Tone_Code},
    {"CL_UTone_", CT_UserTone},
    {"CL_Msk_IdGroup_", CT_MSK_IdGroup},
    {"CL_Msk_CallList_", CT_MSK_CallList},
    {"CL_Msk_Msg_Status_", CT_MSK_Msg_Status},
    {"CL_Msk_Msg_ShortTxt", CT_MSK_Msg_ShortTxt},
    {"CL_Dig_Msg_Status_", CT_Dig_Msg_Status},
    {"CL_CEdit", CT_CEdit},
};

int CategoryOfFamily(const std::string& cell) {
    for (const FamilyCategory& f : kFamilyCategories) {
        if (cell.rfind(f.prefix, 0) == 0) return f.category;
    }
    return kNoCategory;
}

// "[CATEGORY.]CELL[INDEX]" as a descriptor, or nothing for a reference
// that names no category or cell.
std::optional<CellDesc> ParseRef(const std::string& ref, std::string* why) {
    std::string rest = ref;
    CellDesc d;
    const size_t dot = rest.find('.');
    std::optional<int> category;
    if (dot != std::string::npos) {
        category = FindCategoryNumber(rest.substr(0, dot));
        if (!category) {
            *why = "unknown category '" + rest.substr(0, dot) + "'";
            return std::nullopt;
        }
        rest = rest.substr(dot + 1);
    }
    const size_t open = rest.find('[');
    const std::string name = rest.substr(0, open);
    const auto cell = FindCellNumber(name);
    if (!cell || *cell == kNoCell) {
        *why = "unknown cell '" + name + "'";
        return std::nullopt;
    }
    d.cell = *cell;
    d.category = category ? *category : CategoryOfFamily(name);
    int64_t index = 0;
    if (open != std::string::npos) {
        const size_t close = rest.find(']', open);
        const std::string text =
            rest.substr(open + 1, close == std::string::npos ? close : close - open - 1);
        const auto read = ReadInteger(text);
        index = read.value_or(0);
        if (close == std::string::npos || !read || close + 1 != rest.size() ||
            index < std::numeric_limits<int32_t>::min() ||
            index > std::numeric_limits<int32_t>::max()) {
            *why = "bad index in '" + ref + "'";
            return std::nullopt;
        }
    }
    // An index past the cell's records names no cell.
    if (const auto range = CellIndexRange(d.category, d.cell);
        range && (index < range->first || index > range->last)) {
        *why = "index " + IntegerText(index) + " is out of range " + IntegerText(range->first) +
               "-" + IntegerText(range->last);
        return std::nullopt;
    }
    d.index = static_cast<int32_t>(index);
    d.flagsA = CellDesc::kSelectable;
    return d;
}

const std::vector<OptionSpec> kCellOptions = {
    {"-o", "--output", true}, {"--bank", nullptr, true}, {"--yes", "-y", false}};

// Everything one cell command needs, set up from its arguments.
class CellRun {
public:
    explicit CellRun(const ParsedArgs& args)
        : args_(args), session_(args.Has("--yes")), cells_(session_.Doc().Scope(), &session_.Host()) {}

    // Loads the file and installs the bank; the exit status on failure.
    std::optional<int> Start() {
        if (const int code = session_.Open(args_.Operands()[0]); code != 0) return code;
        std::optional<int> bank;
        if (!ReadBankOption(args_, "parlo-cli", &bank)) return kExitUsage;
        if (bank) {
            // Answers the dispatcher's question for the bank shown.
            const int shown = *bank;
            const int first = BankFirstSlot(session_.Doc().Working(), shown);
            EventManager& events = session_.Doc().Events();
            bank_ = events.Subscribe([&events, shown, first](const EventRecord& e) {
                if (e.Is(ev::kBankRange) && e.mode == EvMode::Request)
                    events.Answer(ev::kBankRange, {shown, first});
            });
        }
        return std::nullopt;
    }

    std::optional<CellDesc> Ref(const std::string& ref) {
        std::string why;
        auto d = ParseRef(ref, &why);
        if (!d) std::fprintf(stderr, "parlo-cli: %s\n", why.c_str());
        return d;
    }

    // Operates a cell; false when the input was refused.
    bool Operate(CellContext& ctx, const std::string& what) {
        const int before = session_.Refusals();
        cells_.Handle(ctx, kModeOperate);
        if (ctx.rejected || session_.Refusals() != before) {
            if (!ctx.refusal.empty())
                std::fprintf(stderr, "parlo-cli: %s: %s\n", CellName(ctx.desc->cell).c_str(),
                             ctx.refusal.c_str());
            else if (ctx.rejected)
                std::fprintf(stderr, "parlo-cli: %s was not accepted\n", what.c_str());
            if (!ctx.request.refusal.empty())
                std::fprintf(stderr, "parlo-cli: %s\n", ctx.request.refusal.c_str());
            return false;
        }
        return true;
    }

    std::string Show(const CellDesc& d) {
        CellContext ctx;
        ctx.desc = &d;
        cells_.Handle(ctx, kModeDraw);
        return ctx.request.text;
    }

    int Finish() {
        const std::string out = args_.Value("-o").value_or(args_.Operands()[0]);
        return session_.Save(out);
    }

private:
    const ParsedArgs& args_;
    CliSession session_;
    CellDispatcher cells_;
    EventSubscription bank_;
};

// A cell text without the blanks that align it in the sheet.
std::string ClampNoteText(const std::string& shown) {
    const size_t begin = shown.find_first_not_of(' ');
    const size_t end = shown.find_last_not_of(' ');
    return begin == std::string::npos ? std::string() : shown.substr(begin, end - begin + 1);
}

// A context for operating a cell as the sheet's grid does.
CellContext OnGrid(const CellDesc& d) {
    CellContext ctx;
    ctx.desc = &d;
    ctx.request.grid = true;
    return ctx;
}

CellContext KeyPress(const CellDesc& d, int key) {
    CellContext ctx = OnGrid(d);
    ctx.operation = key;
    ctx.request.key = key;
    return ctx;
}

int RunGet(const ParsedArgs& args) {
    CellRun run(args);
    if (auto status = run.Start()) return *status;
    std::vector<CellDesc> cells;
    for (size_t i = 1; i < args.Operands().size(); ++i) {
        auto d = run.Ref(args.Operands()[i]);
        if (!d) return kExitUsage;
        cells.push_back(*d);
    }
    for (const CellDesc& d : cells) std::printf("%s\n", TerminalText(run.Show(d)).c_str());
    return 0;
}

int RunSet(const ParsedArgs& args) {
    CellRun run(args);
    if (auto status = run.Start()) return *status;
    std::vector<std::pair<CellDesc, std::string>> edits;
    std::vector<std::string> refs;
    for (size_t i = 1; i < args.Operands().size(); ++i) {
        const std::string& op = args.Operands()[i];
        const size_t eq = op.find('=');
        if (eq == std::string::npos) {
            std::fprintf(stderr, "parlo-cli set: '%s' is not REF=TEXT\n", op.c_str());
            return kExitUsage;
        }
        auto d = run.Ref(op.substr(0, eq));
        if (!d) return kExitUsage;
        edits.emplace_back(*d, op.substr(eq + 1));
        refs.push_back(op.substr(0, eq));
    }
    // The desktop shows a limited value at once; here it is told, once saved.
    std::string notes;
    for (size_t i = 0; i < edits.size(); ++i) {
        const auto& [desc, text] = edits[i];
        CellContext ctx = OnGrid(desc);
        ctx.request.phase = kPhaseCommit;
        ctx.request.editText = text;
        if (!run.Operate(ctx, "'" + text + "'")) return kExitInput;
        if (ctx.request.adjusted)
            notes += refs[i] + ": " + text + " stored as " + ClampNoteText(run.Show(desc)) + "\n";
    }
    const int status = run.Finish();
    if (status == 0) std::fputs(notes.c_str(), stderr);
    return status;
}

std::optional<int> KeyCode(const std::string& name) {
    if (name == "space") return kKeySpace;
    if (name == "backspace") return kKeyBackspace;
    if (name == "enter") return kKeyEnter;
    if (name.size() == 1) return static_cast<unsigned char>(name[0]);
    return std::nullopt;
}

int RunKey(const ParsedArgs& args) {
    CellRun run(args);
    if (auto status = run.Start()) return *status;
    const auto desc = run.Ref(args.Operands()[1]);
    if (!desc) return kExitUsage;
    std::vector<int> keys;
    for (size_t i = 2; i < args.Operands().size(); ++i) {
        const auto key = KeyCode(args.Operands()[i]);
        if (!key) {
            std::fprintf(stderr, "parlo-cli key: '%s' is not a key\n", args.Operands()[i].c_str());
            return kExitUsage;
        }
        keys.push_back(*key);
    }
    for (int key : keys) {
        CellContext ctx = KeyPress(*desc, key);
        if (!run.Operate(ctx, "the key")) return kExitInput;
    }
    return run.Finish();
}

int RunPick(const ParsedArgs& args) {
    CellRun run(args);
    if (auto status = run.Start()) return *status;
    const auto desc = run.Ref(args.Operands()[1]);
    if (!desc) return kExitUsage;
    CellContext open = KeyPress(*desc, kKeyEnter);
    if (!run.Operate(open, "Enter")) return kExitInput;
    PopupRequest popup = open.request.popup;
    bool pending = open.request.requestEdit == kEditPopup;
    for (size_t i = 2; i < args.Operands().size(); ++i) {
        const std::string& item = args.Operands()[i];
        const int64_t n = ReadInteger(item).value_or(-1);
        if (n < 0 || n > std::numeric_limits<int>::max()) {
            std::fprintf(stderr, "parlo-cli pick: '%s' is not an item number\n", item.c_str());
            return kExitUsage;
        }
        if (!pending) {
            std::fprintf(stderr, "parlo-cli pick: no list is open for item %s\n", item.c_str());
            return kExitInput;
        }
        const bool listed = popup.kind != PopupKind::CheckBoxes &&
                            popup.kind != PopupKind::TextEntry &&
                            popup.kind != PopupKind::CharacterEditor;
        if (listed && n >= ListCount(popup.list)) {
            std::fprintf(stderr, "parlo-cli pick: the list has no item %s\n", item.c_str());
            return kExitInput;
        }
        CellContext pick = OnGrid(*desc);
        pick.pick = true;
        pick.request.phase = kPhasePick;
        pick.request.chosen = ChosenItem{popup.kind, static_cast<int>(n)};
        if (!run.Operate(pick, "item " + item)) return kExitInput;
        popup = pick.request.popup;
        pending = pick.request.requestEdit == kEditPopup;
    }
    return run.Finish();
}

}  // namespace

std::vector<Command> CellCommands() {
    return {
        {"get", "get FILE REF... [--bank N]",
         "Print the text each cell shows, one line per REF ([CATEGORY.]CELL[INDEX], for "
         "example CT_Mch.CL_Mch_FreqR[5]).",
         kCellOptions, 2, 1000, RunGet},
        {"set", "set FILE REF=TEXT... [-o OUT] [--bank N] [--yes]",
         "Type TEXT into each cell as the editor does, then save to OUT or back to FILE.",
         kCellOptions, 2, 1000, RunSet},
        {"key", "key FILE REF KEY... [-o OUT] [--bank N] [--yes]",
         "Press keys on a cell (a character, or space, backspace, enter), then save.", kCellOptions,
         3, 1000, RunKey},
        {"pick", "pick FILE REF ITEM... [-o OUT] [--bank N] [--yes]",
         "Choose item ITEM (from 0) in the list the cell opens; further ITEMs answer the lists "
         "that open next; then save.",
         kCellOptions, 3, 1000, RunPick},
    };
}

}  // namespace parlo::cli
