#include <gtest/gtest.h>

#include "app/Document.h"
#include "clone/ContentValidation.h"
#include "model/BankMap.h"
#include "model/ModelVariant.h"
#include "runtime/EventManager.h"
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

}  // namespace
}  // namespace parlo
