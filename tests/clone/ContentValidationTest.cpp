#include <gtest/gtest.h>

#include <cstring>

#include "clone/ContentValidation.h"
#include "model/PackedLayout.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

void PutText(EepromImage& e, int32_t at, const char* text) {
    for (size_t i = 0; i < std::strlen(text); ++i)
        e.SetByte(at + static_cast<int32_t>(i), static_cast<uint8_t>(text[i]));
}

// An image with every identity byte in place; the used memory ends at 0x0400.
EepromImage IdentifiedImage() {
    EepromImage e;
    e.SetSize(kImageSize);
    e.SetByte(0, 0x29);
    e.SetByte(1, 0x26);
    e.SetByte(2, 0x01);
    PutText(e, 0x0100, "KELD Inc");
    e.SetByte(0x0108, 6);
    e.SetWord(0x010A, 0x2927);
    e.SetWord(0x0112, 0x0400);
    PutText(e, 0x03F8, "KELD Inc");
    return e;
}

TEST(ContentValidation, IdentityBytes) {
    const EepromImage working = IdentifiedImage();
    struct Case {
        const char* name;
        void (*spoil)(EepromImage&);
        bool withoutIdentity, withIdentity;
    };
    const Case cases[] = {
        {"intact", [](EepromImage&) {}, true, true},
        {"third byte 02", [](EepromImage& e) { e.SetByte(2, 0x02); }, false, false},
        {"first byte", [](EepromImage& e) { e.SetByte(0, 0x28); }, false, false},
        {"maker text", [](EepromImage& e) { e.SetByte(0x0103, 'd'); }, true, false},
        {"model code", [](EepromImage& e) { e.SetByte(0x010B, 0x28); }, true, false},
        {"trailing maker text", [](EepromImage& e) { e.SetByte(0x03FF, 0); }, true, false},
        {"used end past the image", [](EepromImage& e) { e.SetWord(0x0112, 0xFFFF); }, true, false},
        {"used end below 8", [](EepromImage& e) { e.SetWord(0x0112, 0x0004); }, true, false},
    };
    for (const Case& c : cases) {
        EepromImage image = IdentifiedImage();
        c.spoil(image);
        EXPECT_EQ(ValidateContent(image, working, false), c.withoutIdentity) << c.name;
        EXPECT_EQ(ValidateContent(image, working, true), c.withIdentity) << c.name;
    }
}

TEST(ContentValidation, MapRevisionIsThatOfTheWorkingImage) {
    const EepromImage image = IdentifiedImage();
    EepromImage working = IdentifiedImage();
    working.SetByte(0x0108, 5);
    EXPECT_FALSE(ValidateContent(image, working, false));
    EepromImage radio = IdentifiedImage();
    radio.SetByte(0x0108, 5);  // a radio of an older map revision
    EXPECT_TRUE(ValidateContent(radio, IdentifiedImage(), true));
}

TEST(ContentValidation, NewerData) {
    EepromImage image = IdentifiedImage();
    image.SetByte(0x9A05, 1);
    EXPECT_FALSE(IsNewerData(image, 1));
    image.SetByte(0x9A05, 2);
    EXPECT_TRUE(IsNewerData(image, 1));
    EXPECT_FALSE(IsNewerData(image, 0));
    test::ScopedOverlay ovl({"#GI_Sys_LockoutNewerData", "0", "#End_Of_Ovl"});
    EXPECT_FALSE(IsNewerData(image));
}

// A file carries only the radio area: the data version at 0x9A05 arrives in
// packed block 18 and is judged as unpacking will leave it.
TEST(ContentValidation, NewerDataIsJudgedFromThePackedBlock) {
    EepromImage work = IdentifiedImage();
    work.SetByte(0x9A05, 2);
    ASSERT_TRUE(Pack(work, PackMode::Save, 0));
    EepromImage loaded;
    loaded.SetSize(kImageSize);
    loaded.WriteBlock(0, work.Data(), kRadioAreaEnd + 1);  // what a file brings
    EXPECT_TRUE(IsNewerData(loaded, 1));
    EXPECT_FALSE(IsNewerData(loaded, 0));
    EXPECT_EQ(loaded.GetByte(0x9A05), 0);  // the check does not unpack the image

    work.SetByte(0x9A05, 1);
    ASSERT_TRUE(Pack(work, PackMode::Save, 0));
    loaded.WriteBlock(0, work.Data(), kRadioAreaEnd + 1);
    EXPECT_FALSE(IsNewerData(loaded, 1));
}

TEST(ContentValidation, FileHeaderCheck) {
    struct Case {
        int32_t model, extra;
        bool ok;
        uint8_t code;
    };
    const Case cases[] = {{0x2927, 0x0000, true, 0},
                          {0x2927, 0x0100, true, 0},
                          {0x2927, 0x0200, false, 4},
                          {0x2928, 0x0000, false, 3}};
    for (const Case& c : cases) {
        uint8_t code = 0;
        EXPECT_EQ(AcceptFileHeader(c.model, c.extra, code), c.ok);
        EXPECT_EQ(code, c.code);
    }
    EXPECT_TRUE(AcceptMapRevision(6));
    EXPECT_FALSE(AcceptMapRevision(7));
    EXPECT_FALSE(AcceptMapRevision(-1));
}

}  // namespace
}  // namespace parlo
