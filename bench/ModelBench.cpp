// The data model: decoding every channel, and packing and unpacking the
// work area, on the dPMR446 default image (the variant with the most blocks).
#include <benchmark/benchmark.h>

#include "clone/CloneFileOps.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "platform/ProgramInfo.h"

namespace parlo {
namespace {

EepromImage DefaultImage() {
    EepromImage e;
    e.SetSize(kImageSize);
    ReadInitialFile(DataDir() + "MV7105C_DPMR446.icf", e).code;
    UnpackFull(e);
    return e;
}

void BM_DecodeAllChannels(benchmark::State& state) {
    EepromImage image = DefaultImage();
    ChannelRecord record(image);
    for (auto _ : state) {
        for (int slot = 0; slot < kChannelSlots; ++slot) {
            record.Decode(ChannelKindOf(kVariantDPmr446), slot);
            benchmark::DoNotOptimize(record.Value(Field::RxFreq));
        }
    }
}
BENCHMARK(BM_DecodeAllChannels)->Unit(benchmark::kMicrosecond);

void BM_PackFull(benchmark::State& state) {
    EepromImage image = DefaultImage();
    for (auto _ : state) {
        if (!Pack(image, PackMode::Rebuild, kVariantDPmr446)) state.SkipWithError("pack failed");
    }
}
BENCHMARK(BM_PackFull)->Unit(benchmark::kMicrosecond);

void BM_UnpackFull(benchmark::State& state) {
    EepromImage image = DefaultImage();
    Pack(image, PackMode::Save, kVariantDPmr446);
    for (auto _ : state) UnpackFull(image);
}
BENCHMARK(BM_UnpackFull)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace parlo
