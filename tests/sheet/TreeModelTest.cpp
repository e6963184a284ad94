// The navigation tree as data: structure, actions, variable branches, marks.
#include <gtest/gtest.h>

#include "model/BankMap.h"
#include "model/ModelVariant.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"
#include "sheet/RadioTree.h"
#include "tests/support/TestDocument.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

const std::vector<std::string> kOverlay = {
    "#CellModel_Basic",
    "(Color=clWindow)",
    "#GI_Tree_Main_BasicCell",
    "{($Basic)}",
    "#GI_Tree_Main_Body",
    "+{(ImageIndex=0)}Radio",
    " +{(ImageIndex=1)(%CallSheet:[St_Common]GI_Sheet_Common)}Common",
    " +{(ImageIndex=1)(%CallSheet:[St_Common]GI_Sheet_Memory_CH_Top)}Memory channels",
    " +{(Flag2=1)(%CallSheet:[St_Common]GI_Sheet_Pmr)}PMR signalling",
    "  +{(%CallSheet:GI_Sheet_Pmr_Sub)}PMR detail",
    " +{(Flag3=1)(%CallSheet:[St_Common]GI_Sheet_Lmr)}LMR signalling",
    " +{(Flag4=1)(%CallSheet:[St_Common]GI_Sheet_Tarn)}Tarn",
    " +{(Flag5=1)(%CallSheet:[St_Common]GI_Sheet_Analog)}Analog only",
    " +{(%CallSheet:[St_Common]GI_Sheet_Dig_ProgMes)}Digital messages",
    " +{(Flag1=1)(%CallSheet:[St_Common]GI_Sheet_Dig_Tim)}Digital timers",
    " +{(Flag0=1)(%CallSheet:[St_Common]GI_Sheet_Maker)}Adjustment",
    "#",
    "#GI_Tree_Branch_Mch_BankOperation",
    "+{(ImageIndex=2)(%CallSheet:[St_Common]GI_Sheet_BankOp)}Bank layout",
    "#",
    "#GI_Tree_Branch_Mch_Bank",
    "+{(ImageIndex=4)(%%CL_Check_Mch:[St_ChBank]GI_Sheet_Mch_%s,Bank %d)}Bank",
    "#",
    "#GI_AppInd_Model",
    " - LMR",
    " - PMR446",
    " - PMR446 Tarn",
    " - dPMR446",
    "#",
    "#Odd_Body",
    "+a",
    "xyz",
    " +b",
    "#",
    "#End_Of_Ovl"};

class TreeModelTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kOverlay};
    test::TestDocument document;
    test::VirtualScheduler& clock = document.clock;
    EventManager& events = document.events;
    EepromImage& image = document.doc.Working();

    std::unique_ptr<RadioTree> Make() {
        auto t = std::make_unique<RadioTree>(ovl.overlay(), "GI_Tree_Main", document.Scope());
        t->Build();
        return t;
    }
    // The document of the variant and modes, and the tree rebuilt for it.
    void Rebuild(RadioTree& t, int variant, bool maker, bool extended) {
        document.doc.SetVariant(variant);
        document.doc.Modes() = {maker, extended};
        t.RebuildVariableBranches();
    }
};

TEST(NodeActionTest, Split) {
    struct Case {
        const char* action;
        const char* kind;
        const char* key;
        const char* parameter;
    };
    const Case cases[] = {
        {"[St_ChBank]GI_Sheet_Mch_PMR,Bank 3", "St_ChBank", "GI_Sheet_Mch_PMR", "Bank 3"},
        {"GI_Sheet_Common", "", "GI_Sheet_Common", ""},
        {"[St_Common]GI_Sheet_X,a,b", "St_Common", "GI_Sheet_X", "a,b"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const NodeAction a = NodeAction::Split(c.action);
        EXPECT_EQ(a.kind, c.kind) << c.action;
        EXPECT_EQ(a.key, c.key) << c.action;
        EXPECT_EQ(a.parameter, c.parameter) << c.action;
    }
}

TEST_F(TreeModelTest, BodyDepthMakesTheStructure) {
    auto t = Make();
    ASSERT_EQ(t->Root().children.size(), 1u);
    const TreeNode& radio = *t->Root().children[0];
    EXPECT_EQ(radio.caption, "Radio");
    EXPECT_TRUE(radio.expanded);
    EXPECT_EQ(radio.children.size(), 9u);
    EXPECT_EQ(radio.children[2]->children[0]->caption, "PMR detail");
    EXPECT_EQ(radio.children[0]->image, 1);
    EXPECT_EQ(t->FindNode("[St_Common]GI_Sheet_Lmr")->caption, "LMR signalling");
    EXPECT_EQ(t->FindNode("nothing"), nullptr);

    // A line without "+" is as deep as it is long and holds an empty item.
    RadioTree odd(ovl.overlay(), "GI_Tree_Main", document.Scope());
    odd.AddBranch(&odd.Root(), "Odd_Body");
    ASSERT_EQ(odd.Root().children.size(), 1u);
    const TreeNode& a = *odd.Root().children[0];
    ASSERT_EQ(a.children.size(), 2u);
    EXPECT_EQ(a.children[0]->caption, "");
    EXPECT_EQ(a.children[1]->caption, "b");  // shallower than "xyz": back under "a"
}

TEST_F(TreeModelTest, VariableBranchesFollowTheVariantAndModes) {
    struct Case {
        int variant;
        bool maker, extended, digitalOption;
        int banks;
        std::vector<std::string> present, absent;
    };
    const Case cases[] = {
        {kVariantLmr,
         false,
         false,
         false,
         5,
         {"[St_Common]GI_Sheet_Lmr", "[St_Common]GI_Sheet_Analog"},
         {"[St_Common]GI_Sheet_Pmr", "[St_Common]GI_Sheet_Tarn", "[St_Common]GI_Sheet_Maker",
          "[St_Common]GI_Sheet_Dig_Tim"}},
        {kVariantPmr,
         true,
         false,
         false,
         5,
         {"[St_Common]GI_Sheet_Pmr", "GI_Sheet_Pmr_Sub", "[St_Common]GI_Sheet_Maker"},
         {"[St_Common]GI_Sheet_Lmr", "[St_Common]GI_Sheet_Tarn"}},
        {kVariantTarnPmr,
         false,
         false,
         false,
         5,
         {"[St_Common]GI_Sheet_Pmr", "[St_Common]GI_Sheet_Tarn"},
         {"[St_Common]GI_Sheet_Lmr"}},
        {kVariantDPmr446,
         false,
         false,
         true,
         4,
         {"[St_Common]GI_Sheet_Dig_Tim"},
         {"[St_Common]GI_Sheet_Analog", "[St_Common]GI_Sheet_Pmr"}},
        {kVariantDPmr446, false, true, false, 5, {}, {"[St_Common]GI_Sheet_Dig_Tim"}},
    };
    for (const Case& c : cases) {
        image.SetByte(0x000B, c.digitalOption ? 0x10 : 0x00);
        auto t = Make();
        Rebuild(*t, c.variant, c.maker, c.extended);
        SCOPED_TRACE(c.variant);
        for (const auto& action : c.present) EXPECT_NE(t->FindNode(action), nullptr) << action;
        for (const auto& action : c.absent) EXPECT_EQ(t->FindNode(action), nullptr) << action;
        const TreeNode* channels = t->FindNode("[St_Common]GI_Sheet_Memory_CH_Top");
        ASSERT_NE(channels, nullptr);
        ASSERT_EQ(channels->children.size(), static_cast<size_t>(c.banks + 1));
        EXPECT_EQ(channels->children[0]->caption, "Bank layout");
        const std::string name = ChannelSheetName(c.variant);
        EXPECT_EQ(channels->children[1]->Action(), "[St_ChBank]GI_Sheet_Mch_" + name + ",Bank 0");
        EXPECT_EQ(channels->children[1]->desc.cell, CL_Check_Mch);
        EXPECT_EQ(RadioTree::BankOfNode(*channels->children.back()), c.banks - 1);
        EXPECT_EQ(t->Root().children[0]->caption,
                  "Radio" + ovl.overlay().GetText("GI_AppInd_Model", c.variant));
    }
    // The timers go right after the messages when the option is fitted.
    image.SetByte(0x000B, 0x10);
    auto t = Make();
    Rebuild(*t, kVariantDPmr446, false, false);
    Rebuild(*t, kVariantDPmr446, false, false);  // idempotent
    const TreeNode* messages = t->FindNode("[St_Common]GI_Sheet_Dig_ProgMes");
    const auto& siblings = messages->parent->children;
    int count = 0;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i]->Action() != "[St_Common]GI_Sheet_Dig_Tim") continue;
        ++count;
        EXPECT_EQ(siblings[i - 1].get(), messages);
    }
    EXPECT_EQ(count, 1);
}

TEST_F(TreeModelTest, BankImagesAndCaptions) {
    SetBankSize(image, 0, 0);
    SetBankSize(image, 1, 3);
    SetBankSize(image, 2, 0);
    SetBankFlag(image, 2, true);
    SetBankSize(image, 3, 2);
    SetBankFlag(image, 3, true);
    auto t = Make();
    Rebuild(*t, kVariantPmr, false, false);
    const std::string base = "[St_ChBank]GI_Sheet_Mch_PMR,Bank ";
    const int want[] = {4, 5, 6, 7, 4};
    for (int b = 0; b < 5; ++b)
        EXPECT_EQ(t->FindNode(base + std::to_string(b))->image, want[b]) << b;
    events.Post(ev::kBankCaption, {3, "Bank 4 MARINE"});
    clock.Advance(20);
    EXPECT_EQ(t->FindNode(base + "3")->caption, "Bank 4 MARINE");
    EXPECT_EQ(t->FindNode(base + "2")->caption, "Bank");
}

TEST_F(TreeModelTest, MarksReachCollapsedAncestors) {
    auto t = Make();
    TreeNode* pmr = t->FindNode("[St_Common]GI_Sheet_Pmr");
    TreeNode* radio = t->Root().children[0].get();
    EXPECT_EQ(t->Mark(&t->Root(), {"GI_Sheet_Pmr_Sub"}, 1), 2);  // the node and collapsed pmr
    EXPECT_EQ(t->FindNode("GI_Sheet_Pmr_Sub")->overlay, 1);
    EXPECT_EQ(pmr->overlay, 1);
    EXPECT_EQ(radio->overlay, -1);  // expanded: not marked
    pmr->expanded = true;
    EXPECT_EQ(pmr->overlay, 1);  // stays until the next marking
    t->ClearMarks(&t->Root());
    EXPECT_EQ(t->Mark(&t->Root(), {"GI_Sheet_Pmr_Sub"}, 0), 1);
    EXPECT_EQ(pmr->overlay, -1);
}

TEST_F(TreeModelTest, ListingShowsDepthCaptionAndAction) {
    auto t = Make();
    Rebuild(*t, kVariantLmr, false, false);
    const std::string listing = t->Listing();
    EXPECT_EQ(listing.substr(0, listing.find('\n')), "Radio - LMR\t");
    EXPECT_NE(listing.find("\n  Common\t[St_Common]GI_Sheet_Common\n"), std::string::npos);
    EXPECT_NE(listing.find("\n    Bank\t[St_ChBank]GI_Sheet_Mch_LMR,Bank 4\n"), std::string::npos);
}

}  // namespace
}  // namespace parlo
