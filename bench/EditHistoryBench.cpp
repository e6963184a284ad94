// The cost of the edit history: a step recorded after an operation (the
// comparison with the current state and the copy of the image), and an undo
// with its redo; the memory a full history holds.
#include <benchmark/benchmark.h>

#include "app/EditHistory.h"

namespace parlo {
namespace {

EepromImage Image(uint8_t fill) {
    EepromImage image;
    image.SetSize(kImageSize);
    image.Fill(fill);
    return image;
}

// A full history, then one more step: the oldest goes.
void BM_RecordStep(benchmark::State& state) {
    EditHistory history;
    EepromImage image = Image(0);
    history.Reset(image, 0);
    uint8_t n = 0;
    for (int i = 0; i < static_cast<int>(EditHistory::kSteps); ++i) {
        image.SetByte(0x9000, ++n);
        history.Record("Edit", image, 0, EditPlace{});
    }
    for (auto _ : state) {
        image.SetByte(0x9000, ++n);
        benchmark::DoNotOptimize(history.Record("Edit", image, 0, EditPlace{}));
    }
    state.counters["history_MB"] =
        static_cast<double>((EditHistory::kSteps + 1) * kImageSize) / (1024.0 * 1024.0);
}
BENCHMARK(BM_RecordStep);

// An operation that changed nothing still compares the whole image.
void BM_UnchangedOperation(benchmark::State& state) {
    EditHistory history;
    const EepromImage image = Image(0x5A);
    history.Reset(image, 0);
    for (auto _ : state) benchmark::DoNotOptimize(history.Record("Edit", image, 0, EditPlace{}));
}
BENCHMARK(BM_UnchangedOperation);

void BM_UndoRedo(benchmark::State& state) {
    EditHistory history;
    EepromImage image = Image(0);
    history.Reset(image, 0);
    image.SetByte(0x9000, 1);
    history.Record("Edit", image, 0, EditPlace{});
    EepromImage working;
    for (auto _ : state) {
        working.Assign(history.Undo().image);
        working.Assign(history.Redo().image);
        benchmark::DoNotOptimize(working.Data());
    }
}
BENCHMARK(BM_UndoRedo);

}  // namespace
}  // namespace parlo
