#include <gtest/gtest.h>

#include "app/Document.h"
#include "cells/CellDispatcher.h"
#include "clone/ContentValidation.h"
#include "model/BankMap.h"
#include "model/ModelVariant.h"
#include "runtime/EventManager.h"
#include "tests/support/CellHarness.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo {
namespace {

class DocumentTest : public ::testing::Test {
protected:
    test::VirtualScheduler clock;
    EventManager events{clock};
    Document doc{events};
};

TEST_F(DocumentTest, EachVariantLoadsItsFactoryImage) {
    for (int v = 0; v < kVariantCount; ++v) {
        ASSERT_TRUE(doc.SelectModel(v)) << v;
        EXPECT_EQ(doc.Variant(), v);
        EXPECT_EQ(VariantFromImage(doc.Defaults()), v);
        doc.NewFromDefaults();
        EXPECT_FALSE(doc.IsModified());
        EXPECT_TRUE(ValidateContent(doc.Working(), doc.Working(), true)) << v;
    }
}

TEST_F(DocumentTest, ModifiedStaysSetUntilMarkedUnmodified) {
    ASSERT_TRUE(doc.SelectModel(kVariantPmr));
    doc.NewFromDefaults();
    const uint8_t old = doc.Working().GetByte(0x9600);
    doc.Working().SetByte(0x9600, static_cast<uint8_t>(old + 1));
    EXPECT_TRUE(doc.IsModified());
    doc.Working().SetByte(0x9600, old);  // edited back
    EXPECT_TRUE(doc.IsModified());
    doc.MarkUnmodified();
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, AfterLoadTakesTheVariantTheImageSays) {
    ASSERT_TRUE(doc.SelectModel(kVariantLmr));
    Document other{events};
    ASSERT_TRUE(other.SelectModel(kVariantDPmr446));
    other.NewFromDefaults();
    doc.Working().Assign(other.Working());
    doc.Working().SetByte(0x0108, 5);  // as a radio of an older revision sends it
    ASSERT_TRUE(doc.AfterLoad());
    EXPECT_EQ(doc.Variant(), kVariantDPmr446);
    EXPECT_EQ(VariantFromImage(doc.Defaults()), kVariantDPmr446);
    EXPECT_EQ(doc.Working().GetByte(0x0108), 6);
    EXPECT_EQ(BanksTotal(doc.Working()), BanksTotal(other.Working()));
}

TEST_F(DocumentTest, AMissingInitialFileKeepsTheDefaultImage) {
    ASSERT_TRUE(doc.SelectModel(kVariantPmr));
    const EepromImage before = doc.Defaults();
    test::ScopedOverlay ovl({"#GI_App_InitialFile", "none.icf", "none.icf", "none.icf", "none.icf",
                             "#", "#GI_Sys_AppTitle", "t", "#GI_Mess_FileErr_Headline", "h",
                             "#GI_Mess_FileErr_FileOpen", "o", "#End_Of_Ovl"});
    test::RecordingPrompts prompts;
    std::string failed;
    EXPECT_FALSE(doc.SelectModel(kVariantLmr, &failed));
    EXPECT_NE(failed.find("none.icf"), std::string::npos);
    EXPECT_TRUE(doc.Defaults().Equals(before));
    EXPECT_EQ(doc.Variant(), kVariantPmr);
    EXPECT_TRUE(prompts.shown.empty()) << "the caller's box names the file; no second box";
}

// A document with the cells that edit it, as a window or a parlo-cli
// session holds them.
struct EditedDocument {
    EditedDocument(EventManager& events, int variant) : doc(events) {
        EXPECT_TRUE(doc.SelectModel(variant));
        doc.NewFromDefaults();
    }
    // Commits `text` into a cell as the in-place editor does.
    bool Type(int category, int cell, int32_t index, const std::string& text) {
        const CellDesc d = test::SelectableCell(category, cell, index);
        CellContext ctx;
        ctx.desc = &d;
        ctx.request.grid = true;
        ctx.request.phase = kPhaseCommit;
        ctx.request.editText = text;
        cells.Handle(ctx, kModeOperate);
        doc.RebuildModelData();
        return !ctx.rejected;
    }
    std::string Show(int category, int cell, int32_t index) {
        return test::ShownText(cells, category, cell, index);
    }

    Document doc;
    CellDispatcher cells{doc.Scope()};
};

// Two documents of different variants in one process, edited in turns: each
// edit lands in its own document, read with its own variant's layout, and
// each ends with exactly the bytes the same edits give a document alone.
TEST_F(DocumentTest, TwoDocumentsOfDifferentVariantsEditedInTurnsKeepTheirOwnBytes) {
    struct Edit {
        int category, cell;
        int32_t index;
        const char* typed;
        const char* shown;
    };
    const std::vector<Edit> lmr = {{CT_Mch, CL_Mch_FreqR, 0, "150.5", "150.500000"},
                                   {CT_Mch, CL_Mch_Text, 0, "HARBOUR", "HARBOUR"},
                                   {CT_Mch, CL_Mch_FreqR, 1, "151.25", "151.250000"}};
    const std::vector<Edit> dpmr = {{CT_Mch, CL_Mch_FreqR, 0, "446.15625", "446.156250"},
                                    {CT_Mch, CL_Mch_Text, 0, "QUAY", "QUAY"},
                                    {CT_Mch, CL_Mch_FreqR, 1, "446.19375", "446.193750"}};
    EditedDocument a(events, kVariantLmr);
    EditedDocument b(events, kVariantDPmr446);
    const EepromImage factoryA = a.doc.Working(), factoryB = b.doc.Working();
    for (size_t i = 0; i < lmr.size(); ++i) {
        ASSERT_TRUE(a.Type(lmr[i].category, lmr[i].cell, lmr[i].index, lmr[i].typed)) << i;
        ASSERT_TRUE(b.Type(dpmr[i].category, dpmr[i].cell, dpmr[i].index, dpmr[i].typed)) << i;
    }
    EXPECT_EQ(a.doc.Variant(), kVariantLmr);
    EXPECT_EQ(b.doc.Variant(), kVariantDPmr446);
    for (const Edit& e : lmr) EXPECT_EQ(a.Show(e.category, e.cell, e.index), e.shown);
    for (const Edit& e : dpmr) EXPECT_EQ(b.Show(e.category, e.cell, e.index), e.shown);

    // The same edits on each document alone.
    EditedDocument aloneA(events, kVariantLmr);
    for (const Edit& e : lmr) aloneA.Type(e.category, e.cell, e.index, e.typed);
    EditedDocument aloneB(events, kVariantDPmr446);
    for (const Edit& e : dpmr) aloneB.Type(e.category, e.cell, e.index, e.typed);
    EXPECT_FALSE(a.doc.Working().Equals(factoryA));
    EXPECT_FALSE(b.doc.Working().Equals(factoryB));
    EXPECT_TRUE(a.doc.Working().Equals(aloneA.doc.Working()));
    EXPECT_TRUE(b.doc.Working().Equals(aloneB.doc.Working()));
}

}  // namespace
}  // namespace parlo
