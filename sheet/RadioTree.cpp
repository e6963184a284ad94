#include "sheet/RadioTree.h"

#include "model/BankMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"
#include "runtime/EventCodes.h"

namespace parlo {

namespace {

constexpr const char* kChannelSheetNames[] = {"LMR", "PMR", "PMRT", "DPmr446"};
constexpr int32_t kAddrOptionBits = 0x000B;
constexpr uint8_t kDigitalOptionBit = 0x10;

}  // namespace

const char* ChannelSheetName(int variant) {
    return kChannelSheetNames[variant >= 0 && variant < kVariantCount ? variant : 0];
}

RadioTree::RadioTree(OverlayText& overlay, std::string key, DocumentScope scope)
    : TreeModel(overlay, std::move(key)), doc_(scope.document) {
    events_ = scope.events.Subscribe([this](const EventRecord& event) {
        if (event.Is(ev::kBankImages)) UpdateBankImages();
        if (const BankName* name = event.Get(ev::kBankCaption))
            SetBankCaption(name->bank, name->caption);
    });
}

RadioTree::~RadioTree() = default;

int RadioTree::BankOfNode(const TreeNode& node) {
    const NodeAction a = NodeAction::Split(node.Action());
    if (a.kind != "St_ChBank" || a.parameter.rfind("Bank", 0) != 0) return -1;
    return LeadingInteger(std::string_view(a.parameter).substr(4));
}

void RadioTree::UpdateBankImages() {
    const EepromImage& image = doc_.Working();
    ForEach([&](TreeNode& n) {
        const int bank = BankOfNode(n);
        if (bank < 0) return;
        n.image = 4 + 2 * (BankFlag(image, bank) ? 1 : 0) + (BankSize(image, bank) != 0 ? 1 : 0);
    });
}

void RadioTree::SetBankCaption(int bank, const std::string& caption) {
    ForEach([&](TreeNode& n) {
        const NodeAction a = NodeAction::Split(n.Action());
        if (a.kind == "St_ChBank" && a.parameter.size() > 5 &&
            LeadingInteger(std::string_view(a.parameter).substr(5)) == bank)
            n.caption = caption;
    });
}

void RadioTree::RemoveFlagged(int flag) {
    for (;;) {
        TreeNode* victim = nullptr;
        ForEach([&](TreeNode& n) {
            if (victim == nullptr && n.desc.FreeFlagSet(flag)) victim = &n;
        });
        if (victim == nullptr) return;
        Remove(victim);
    }
}

int RadioTree::FindBodyLine(const std::string& sheetKey) {
    const std::string section = "GI_Tree_Main_Body";
    for (int i = 0;; ++i) {
        const std::string line = Overlay().GetText(section, i);
        if (!line.empty() && line[0] == '#') return -1;
        if (line.find(sheetKey) == std::string::npos) continue;
        TreeNode probe;
        CellParser parser(Overlay());
        Counters counters{};
        const size_t plus = line.find('+');
        if (plus == std::string::npos) continue;
        parser.ParseCell(line.substr(plus + 1), probe.desc, &BasicCell(), counters);
        if (NodeAction::Split(probe.Action()).key == sheetKey) return i;
    }
}

void RadioTree::RebuildVariableBranches() {
    const int variant = doc_.Variant();
    const bool makerMode = doc_.Modes().maker;
    const std::string selectedAction = Selected() != nullptr ? Selected()->Action() : std::string();
    if (!makerMode) RemoveFlagged(kNodeMakerOnly);

    const bool digitalOption = (doc_.Working().GetByte(kAddrOptionBits) & kDigitalOptionBit) != 0;
    TreeNode* timers = nullptr;
    TreeNode* messages = nullptr;
    ForEach([&](TreeNode& n) {
        const std::string key = NodeAction::Split(n.Action()).key;
        if (key == "GI_Sheet_Dig_Tim" && timers == nullptr) timers = &n;
        if (key == "GI_Sheet_Dig_ProgMes" && messages == nullptr) messages = &n;
    });
    if (!digitalOption) {
        RemoveFlagged(kNodeDigitalOption);
    } else if (timers == nullptr && messages != nullptr) {
        if (const int line = FindBodyLine("GI_Sheet_Dig_Tim"); line >= 0)
            InsertAfter(messages, "GI_Tree_Main_Body", line);
    }
    if (variant != kVariantPmr && variant != kVariantTarnPmr) RemoveFlagged(kNodePmrOnly);
    if (variant != kVariantLmr) RemoveFlagged(kNodeLmrOnly);
    if (variant != kVariantTarnPmr) RemoveFlagged(kNodeTarnOnly);
    if (variant == kVariantDPmr446) RemoveFlagged(kNodeNotDPmr446);

    TreeNode* channels = nullptr;
    ForEach([&](TreeNode& n) {
        if (channels == nullptr && NodeAction::Split(n.Action()).key == "GI_Sheet_Memory_CH_Top")
            channels = &n;
    });
    if (channels != nullptr) {
        ClearChildren(channels);
        AddBranch(channels, "GI_Tree_Branch_Mch_BankOperation");
        const int banks = doc_.BanksShown();
        const std::string format = Overlay().GetText("GI_Tree_Branch_Mch_Bank", 0);
        // The bank nodes name the same sheets the warning check names, so
        // that its marks land on them.
        for (int bank = 0; bank < banks; ++bank)
            AddItem(channels, FormatText(format, {std::string(ChannelSheetName(variant)),
                                                  static_cast<long long>(bank)}));
    }

    if (!Root().children.empty()) {
        TreeNode& top = *Root().children.front();
        top.caption = top.desc.Text() + Overlay().GetText("GI_AppInd_Model", variant);
    }
    UpdateBankImages();
    TreeNode* keep = selectedAction.empty() ? nullptr : FindNode(selectedAction);
    if (keep == nullptr && !Root().children.empty()) keep = Root().children.front().get();
    Select(keep);
}

}  // namespace parlo
