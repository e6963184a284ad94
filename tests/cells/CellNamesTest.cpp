#include <gtest/gtest.h>

#include "cells/CellNames.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

TEST(CellNames, FixedNumbers) {
    struct Case {
        const char* name;
        int number;
    };
    const Case cells[] = {{"CL_Null", 0},
                          {"Flex0", 1},
                          {"CL_Menu_File_New", 10},
                          {"CallSheet", 38},
                          {"CL_Mch_FreqR", CL_Mch_FreqR},
                          {"CL_Maker_mRSSISL", 708},
                          {"CL_Menu_Edit_Undo", 709},
                          {"CL_Menu_Edit_Redo", 710},
                          {"CL_Menu_File_ImportChannels", 711},
                          {"CL_Menu_File_ExportChannels", 712}};
    for (const Case& c : cells) {
        EXPECT_EQ(CellNumber(c.name), c.number) << c.name;
        EXPECT_EQ(CellName(c.number), c.name);
    }
    EXPECT_EQ(CategoryNumber("CT_Null"), 0);
    EXPECT_EQ(CategoryNumber("CT_Mch"), 2);
    EXPECT_EQ(CategoryNumber("CT_Dig_Msg_Status"), 21);
    EXPECT_EQ(CategoryName(CT_PopupMenu), "CT_PopupMenu");
}

TEST(CellNames, EmptyAndOutOfRange) {
    EXPECT_EQ(CellNumber(""), kNoCell);
    EXPECT_EQ(kNoCell, 715);
    EXPECT_EQ(CategoryNumber(""), kNoCategory);
    EXPECT_EQ(kNoCategory, 22);
    EXPECT_EQ(CellName(715), "");
    EXPECT_EQ(CellName(-1), "");
    EXPECT_EQ(CategoryName(22), "");
}

TEST(CellNames, UnknownNamesAreFatal) {
    EXPECT_FATAL(CellNumber("CL_Mch_Freq"), "Cannot use the specified cell.\n'CL_Mch_Freq'");
    EXPECT_FATAL(CellNumber("cl_null"), "Cannot use the specified cell.\n'cl_null'");
    EXPECT_FATAL(CategoryNumber("CT_Nothing"), "Cannot use the specified category.\n'CT_Nothing'");
    EXPECT_FATAL(RecordKindOfCategory(23), "Unknown Cell Category. (23)");
    EXPECT_FATAL(RecordKindOfCategory(-1), "Unknown Cell Category. (-1)");
}

TEST(CellNames, RecordKinds) {
    EXPECT_EQ(RecordKindOfCategory(CT_Mch), kChannelKind);
    EXPECT_EQ(RecordKindOfCategory(CT_PopupMenu), kParentKind);
    EXPECT_EQ(RecordKindOfCategory(CT_DTMF), 6);
    EXPECT_EQ(RecordKindOfCategory(CT_UserTone), 11);
    EXPECT_EQ(RecordKindOfCategory(CT_2Tone_Code), 12);
    EXPECT_EQ(RecordKindOfCategory(CT_Dig_Msg_Status), 19);
    EXPECT_EQ(RecordKindOfCategory(kNoCategory), 0);
}

}  // namespace
}  // namespace parlo
