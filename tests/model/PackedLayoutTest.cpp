// Packing the work-area tables into the radio area and unpacking them.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"

namespace parlo {
namespace {

constexpr int32_t kWorkDirectoryEnd = kAddrWorkDirectory + 400;

// A work area where every byte differs, with `channels` channels in banks.
EepromImage WorkImage(int channels) {
    EepromImage e;
    e.SetSize(kImageSize);
    for (int32_t a = kAddrModelBlock; a < kImageSize; ++a)
        e.SetByte(a, static_cast<uint8_t>(a * 29 + 3));
    for (int i = 0; i < kBankCount; ++i) SetBankSize(e, i, 0);
    SetBankSize(e, 0, channels / 2);
    SetBankSize(e, 2, channels - channels / 2);
    return e;
}

bool SameBytes(const EepromImage& a, const EepromImage& b, int32_t at, int32_t n) {
    return n <= 0 || std::memcmp(a.Data() + at, b.Data() + at, static_cast<size_t>(n)) == 0;
}

// Calls f for every block `variant` packs, with its length for `channels`.
void ForEachPackedBlock(int variant, int channels,
                        const std::function<void(const PackedBlock&, int32_t)>& f) {
    for (auto group : {PackedGroup1(), PackedGroup2()}) {
        for (const PackedBlock& b : group) {
            const bool holds = b.condition == BlockCondition::Always ||
                               (b.condition == BlockCondition::TarnPmr && variant == 2) ||
                               (b.condition == BlockCondition::DPmr446 && variant == 3);
            if (holds) f(b, b.recordSize * (b.count < 0 ? channels : b.count));
        }
    }
}

TEST(PackedLayout, PackThenUnpackReproducesTheTablesOfEveryVariant) {
    for (int variant = 0; variant < kVariantCount; ++variant) {
        for (int channels : {0, 37, 64}) {
            const EepromImage original = WorkImage(channels);
            EepromImage image = original;
            ASSERT_TRUE(Pack(image, PackMode::Save, variant)) << variant;
            // Lose the work area, as a file or a radio does, then unpack.
            std::memset(image.Data() + kAddrModelBlock, 0, kImageSize - kAddrModelBlock);
            Unpack(image);
            ForEachPackedBlock(variant, channels, [&](const PackedBlock& b, int32_t length) {
                if (b.id == 39) return;  // rebuilt by every pack
                EXPECT_TRUE(SameBytes(image, original, b.source, length))
                    << "variant " << variant << ", " << channels << " channels, block " << b.id;
            });
        }
    }
}

TEST(PackedLayout, FixedFieldsAndDirectory) {
    EepromImage image = WorkImage(64);
    ASSERT_TRUE(Pack(image, PackMode::Write, kVariantLmr));
    EXPECT_EQ(image.GetWord(0x0114), 0x0178);
    // First group: model block, 64 channels (2,176 bytes), blocks 5, 12, 15.
    EXPECT_EQ(image.GetWord(0x0110), 0x0178 + 64 + 2176 + 32 + 88 + 128);
    // The directory: 5 + 14 blocks for LMR, right before the end marker.
    EXPECT_EQ(image.GetWord(0x0120), 1);
    EXPECT_EQ(image.GetWord(0x0122), 10);
    EXPECT_EQ(image.GetWord(0x0124), 19);
    const int32_t end = image.GetWord(0x0112);
    EXPECT_EQ(image.GetWord(0x0126), end - 8 - 190);
    EXPECT_EQ(std::memcmp(image.Data() + end - 8, "KELD Inc", 8), 0);
    // Block 3 (entry 5) carries 64 extension records: 768 bytes.
    const int32_t e5 = image.GetWord(0x0126) + 50;
    EXPECT_EQ(image.GetWord(e5), 3);
    EXPECT_EQ(image.GetWord(e5 + 4), 64);
    EXPECT_EQ(image.GetWord(e5 + 16) - image.GetWord(e5 + 6), 768);  // to the next block

    // The model block adds up to 0 and is copied to 0x0178 except in mode 0.
    uint8_t sum = 0;
    for (int32_t a = 0x7D80; a < 0x7DC0; ++a) sum = static_cast<uint8_t>(sum + image.GetByte(a));
    EXPECT_EQ(sum, 0);
    EXPECT_EQ(image.GetByte(0x7D96), 0);
    EXPECT_EQ(std::memcmp(image.Data() + 0x0178, image.Data() + 0x7D80, 64), 0);
    ASSERT_TRUE(Pack(image, PackMode::Rebuild, kVariantLmr));
    for (int32_t a = 0x0178; a < 0x01B8; ++a) EXPECT_EQ(image.GetByte(a), 0) << a;
    EXPECT_EQ(image.GetByte(0x7D80), 0x01);
}

TEST(PackedLayout, UnpackLeavesTablesTheDirectoryLacks) {
    EepromImage image = WorkImage(10);
    ASSERT_TRUE(Pack(image, PackMode::Save, kVariantPmr));
    std::memset(image.Data() + 0x9AAD, 0xAB, 320);  // a Tarn-only table
    Unpack(image);
    for (int32_t a = 0x9AAD; a < 0x9AAD + 320; ++a) ASSERT_EQ(image.GetByte(a), 0xAB);
}

// Entry i of the packed directory of a packed image.
int32_t PackedEntry(const EepromImage& image, int i) { return image.GetWord(0x0126) + 10 * i; }

TEST(PackedLayout, CorruptDirectoriesStayInsideTheTables) {
    struct Case {
        const char* name;
        void (*spoil)(EepromImage&);
    };
    const Case cases[] = {
        {"no directory id", [](EepromImage& e) { e.SetWord(0x0120, 7); }},
        {"count 200", [](EepromImage& e) { e.SetWord(0x0124, 200); }},
        {"entry size 0xFFFF", [](EepromImage& e) { e.SetWord(0x0122, 0xFFFF); }},
        {"entry size 0", [](EepromImage& e) { e.SetWord(0x0122, 0); }},
        {"directory past the end", [](EepromImage& e) { e.SetWord(0x0126, 0xFFF0); }},
        {"channel block of 200 records of 0xFFFF bytes",
         [](EepromImage& e) {
             e.SetWord(PackedEntry(e, 1) + 2, 0xFFFF);
             e.SetWord(PackedEntry(e, 1) + 4, 200);
         }},
        {"block address past the end",
         [](EepromImage& e) { e.SetWord(PackedEntry(e, 1) + 6, 0xFFFF); }},
        {"base above every address", [](EepromImage& e) { e.SetWord(0x0114, 0xFFFF); }},
        {"every entry says channels",
         [](EepromImage& e) {
             for (int i = 0; i < 19; ++i) e.SetWord(PackedEntry(e, i), 2);
         }},
    };
    for (const Case& c : cases) {
        EepromImage image = WorkImage(64);
        ASSERT_TRUE(Pack(image, PackMode::Save, kVariantLmr));
        c.spoil(image);
        // The directory copy in the work area may change; the rest of the work
        // area past the tables may not.
        const EepromImage before = image;
        Unpack(image);
        UnpackFull(image);
        EXPECT_TRUE(SameBytes(image, before, 0, kRadioAreaLimit)) << c.name;
        EXPECT_TRUE(SameBytes(image, before, kWorkDirectoryEnd, kImageSize - kWorkDirectoryEnd))
            << c.name;
    }
}

TEST(PackedLayout, UnpackCutsRecordsToTheTable) {
    EepromImage image = WorkImage(64);
    ASSERT_TRUE(Pack(image, PackMode::Save, kVariantLmr));
    // Claim 100 channel records of 40 bytes at the channel block's place.
    const int32_t e = PackedEntry(image, 1);
    const int32_t at = image.GetWord(e + 6);
    image.SetWord(e + 2, 40);
    image.SetWord(e + 4, 100);
    const EepromImage before = image;
    Unpack(image);
    for (int k = 0; k < 64; ++k) {
        ASSERT_EQ(std::memcmp(image.Data() + 0x7F80 + 34 * k, before.Data() + at + 40 * k, 34), 0)
            << "record " << k;
    }
    EXPECT_TRUE(SameBytes(image, before, 0x8800, 32));  // the next table is untouched
}

TEST(PackedLayout, UnpackFullIgnoresBaseAndCount) {
    EepromImage image = WorkImage(2);
    ASSERT_TRUE(Pack(image, PackMode::Save, kVariantPmr));
    const int32_t channelsAt = image.GetWord(PackedEntry(image, 1) + 6);
    image.SetWord(0x0114, 0x0100);  // a base Unpack would trust
    const EepromImage packed = image;
    UnpackFull(image);
    // All 64 records come from the packed channel block's address onwards.
    EXPECT_EQ(std::memcmp(image.Data() + 0x7F80, packed.Data() + channelsAt, 64 * 34), 0);

    EepromImage shifted = packed;
    Unpack(shifted);  // with base 0x0100 every block is read 0x78 bytes later
    EXPECT_EQ(std::memcmp(shifted.Data() + 0x7F80, packed.Data() + channelsAt + 0x78, 2 * 34), 0);
}

// A byte reaches files and the radio when it lies in the radio area or in a
// table the variant packs: the Tarn tables 24 (0x9C05, 16 bytes), 30
// (0x9C15, 24 x 12) and 33 (0x9E55, 8 x 2), the dPMR446 tables 34 (0x9E65,
// 32 x 20) and 38 (0xA379, 41 x 8), table 6 (0x957D, 96 bytes) everywhere.
// The 64 bytes of the fixed model block at 0x7D80 are followed by bytes of
// no table.
TEST(PackedLayout, CarriedInVariant) {
    struct Case {
        int32_t address;
        bool lmr, pmr, tarn, dpmr;
    };
    const Case cases[] = {
        {0x0000, true, true, true, true},    {0x0130, true, true, true, true},
        {0x7D7F, true, true, true, true},    {0x957D, true, true, true, true},
        {0x95DC, true, true, true, true},    {0x7DC0, false, false, false, false},
        {0x9C05, false, false, true, false}, {0x9C0D, false, false, true, false},
        {0x9C14, false, false, true, false}, {0x9C15, false, false, true, false},
        {0x9E64, false, false, true, false}, {0x9E65, false, false, false, true},
        {0xA4C0, false, false, false, true}, {0xA4C1, false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CarriedInVariant(c.address, kVariantLmr), c.lmr) << std::hex << c.address;
        EXPECT_EQ(CarriedInVariant(c.address, kVariantPmr), c.pmr) << std::hex << c.address;
        EXPECT_EQ(CarriedInVariant(c.address, kVariantTarnPmr), c.tarn) << std::hex << c.address;
        EXPECT_EQ(CarriedInVariant(c.address, kVariantDPmr446), c.dpmr) << std::hex << c.address;
    }
}

TEST(PackedLayout, UnpackedByte) {
    EepromImage image = WorkImage(4);
    image.SetByte(0x9A05, 2);
    ASSERT_TRUE(Pack(image, PackMode::Save, kVariantLmr));
    image.SetByte(0x9A05, 0);  // the work area a load starts with
    const EepromImage before = image;
    EXPECT_EQ(UnpackedByte(image, 0x9A05), 2);
    EXPECT_TRUE(image.Equals(before));
    image.SetWord(0x0120, 0);  // no directory: the byte itself
    EXPECT_EQ(UnpackedByte(image, 0x9A05), 0);
}

}  // namespace
}  // namespace parlo
