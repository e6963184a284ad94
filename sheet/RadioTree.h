#pragma once
// The navigation tree of a document: bank nodes whose icons and captions
// follow its banks, and branches that depend on its variant, its modes and
// the options its image carries.
#include "cells/DocumentScope.h"
#include "runtime/EventManager.h"
#include "sheet/TreeModel.h"

namespace parlo {

// Events the tree handles.

// Free flags of a tree node that tie it to a mode, option or variant.
enum TreeNodeFlag : int {
    kNodeMakerOnly = 0,
    kNodeDigitalOption = 1,
    kNodePmrOnly = 2,
    kNodeLmrOnly = 3,
    kNodeTarnOnly = 4,
    kNodeNotDPmr446 = 5,
};

// The name a variant gives its memory-channel sheets: GI_Sheet_Mch_<name>.
const char* ChannelSheetName(int variant);

class RadioTree : public TreeModel {
public:
    // The tree follows the banks of `scope`'s document and the news of its
    // views.
    RadioTree(OverlayText& overlay, std::string key, DocumentScope scope);
    ~RadioTree() override;

    // Prunes and fills the branches that depend on the document's variant,
    // its maker and extended modes and its image (the digital option), sets
    // the root caption and the bank nodes, and keeps the selection where it
    // was.
    void RebuildVariableBranches();

    // Bank node icons: 4 + 2 x (flag set) + (bank not empty).
    void UpdateBankImages();
    // The caption of the bank nodes of `bank`.
    void SetBankCaption(int bank, const std::string& caption);
    // The bank number of a bank node, or -1 for any other node.
    static int BankOfNode(const TreeNode& node);

private:
    void RemoveFlagged(int flag);
    int FindBodyLine(const std::string& sheetKey);

    const DocumentData& doc_;
    EventSubscription events_;
};

}  // namespace parlo
