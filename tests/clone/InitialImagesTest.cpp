// The four shipped initial clone files: the generator's output, valid files
// of this model, and a sensible factory default for each variant.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "overlay/OverlayText.h"
#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

// The names the shipped overlay gives the four files.
std::string InitialFileName(int variant) {
    static OverlayText overlay;
    static const bool opened = overlay.SetFile(test::DataFile("MV7105C.OVL"));
    return opened ? overlay.GetText("GI_App_InitialFile", variant) : "";
}

TEST(InitialImages, ShippedFilesAreTheGeneratorsOutput) {
    test::TempDir dir;
    std::vector<std::string> args = {dir.path().string()};
    for (const auto& entry :
         std::filesystem::directory_iterator(PARLO_SOURCE_DIR "/tools/initial-images")) {
        if (entry.path().extension() == ".txt") args.push_back(entry.path().string());
    }
    std::sort(args.begin() + 1, args.end());
    ASSERT_EQ(args.size(), 5u);
    const auto r = test::RunProcess(PARLO_INITIAL_IMAGES_TOOL, args);
    ASSERT_EQ(r.status, 0) << r.err;
    for (int v = 0; v < kVariantCount; ++v) {
        const std::string name = InitialFileName(v);
        const std::string made = test::ReadFile(dir.file(name));
        ASSERT_FALSE(made.empty()) << name;
        EXPECT_EQ(made, test::ReadFile(PARLO_SOURCE_DIR "/data/" + name))
            << name << ": run the initial-images target and commit data/";
    }
}

struct ExpectedChannel {
    int32_t frequency;
    int signalMode;
    int32_t colourCode;
};

// What a buyer of each variant finds: the PMR446 channels, and for dPMR446
// also the digital channels with the colour code of their number.
std::vector<ExpectedChannel> ExpectedChannels(int variant) {
    std::vector<ExpectedChannel> out;
    if (variant == kVariantLmr) return out;
    for (int k = 0; k < 8; ++k) out.push_back({446'006'250 + 12'500 * k, 0, 0});
    if (variant != kVariantDPmr446) return out;
    const int32_t patterns[16] = {0x577577, 0x57DD75, 0x57F775, 0x55577D, 0x557D7D, 0x55D57F,
                                  0x55FF7F, 0x5F555F, 0x5F7F5F, 0x5FD75D, 0x5FFD5D, 0x5D5D55,
                                  0x5D7755, 0x5DDF57, 0x5DF557, 0x775DD7};
    for (int k = 0; k < 16; ++k) out.push_back({446'103'125 + 6'250 * k, 3, patterns[k]});
    return out;
}

TEST(InitialImages, EachIsAValidFactoryDefaultOfItsVariant) {
    for (int v = 0; v < kVariantCount; ++v) {
        const std::string name = InitialFileName(v);
        EepromImage image;
        image.SetSize(kImageSize);
        test::RecordingPrompts prompts;
        ASSERT_EQ(ReadInitialFile(test::DataFile(name), image).code, kFileOk) << name;
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_TRUE(ValidateContent(image, image, true)) << name;
        EXPECT_FALSE(IsNewerData(image, 1)) << name;

        const EepromImage read = image;
        UnpackFull(image);
        EXPECT_EQ(VariantFromImage(image), v) << name;
        EXPECT_EQ(BanksTotal(image), 64) << name;  // so the full unpack reads no stray bytes
        EXPECT_EQ(FreeChannelSlots(image), 0) << name;
        // The radio area is what packing the work area gives.
        EepromImage repacked = image;
        ASSERT_TRUE(Pack(repacked, PackMode::Save, v));
        EXPECT_EQ(0, std::memcmp(repacked.Data(), read.Data(), kRadioAreaEnd + 1)) << name;

        const std::vector<ExpectedChannel> expected = ExpectedChannels(v);
        ChannelRecord r(image);
        for (int slot = 0; slot < kChannelSlots; ++slot) {
            r.Decode(ChannelKindOf(v), slot);
            const Tone off{};
            EXPECT_EQ(r.tones[0], off) << name << " slot " << slot;
            EXPECT_EQ(r.tones[1], off) << name << " slot " << slot;
            EXPECT_EQ(r.Value(Field::Narrow), 1) << name << " slot " << slot;
            if (static_cast<size_t>(slot) >= expected.size()) {
                EXPECT_FALSE(r.present) << name << " slot " << slot;
                continue;
            }
            const ExpectedChannel& c = expected[static_cast<size_t>(slot)];
            EXPECT_TRUE(r.present);
            EXPECT_EQ(r.Value(Field::RxFreq), c.frequency) << name << " slot " << slot;
            EXPECT_EQ(r.Value(Field::TxFreq), c.frequency) << name << " slot " << slot;
            EXPECT_EQ(r.Value(Field::SignalMode), c.signalMode) << name << " slot " << slot;
            EXPECT_EQ(r.Value(Field::ColourRx), c.colourCode) << name << " slot " << slot;
            EXPECT_EQ(r.Value(Field::ColourTx), c.colourCode) << name << " slot " << slot;
            EXPECT_EQ(r.Value(Field::FreeFreq), 0) << name << " slot " << slot;
            EXPECT_NE(r.texts[0], std::string(8, ' ')) << name << " slot " << slot;
        }
    }
}

}  // namespace
}  // namespace parlo
