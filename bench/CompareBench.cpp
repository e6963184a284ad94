// Compare with...: two factory files of different variants, the worst case
// (every byte from the packed directory on differs), and the heap a
// comparison holds at its peak against the heap of one loaded document.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/Document.h"
#include "bench/BenchDocument.h"
#include "app/ImageComparison.h"
#include "clone/CloneFileOps.h"
#include "model/PackedLayout.h"
#include "platform/ProgramInfo.h"
#include "runtime/EventManager.h"

namespace parlo {
namespace {

EepromImage LoadData(const std::string& name) {
    EepromImage loaded;
    if (OpenCloneFile(DataDir() + name, FreshDocumentImage(), &loaded).code != kFileOk)
        loaded.SetSize(0);
    return loaded;
}

// The heap in use now.
double HeapKb() { return static_cast<double>(mallinfo2().uordblks) / 1024.0; }

// Runs the comparison step by step and reports the largest heap it held
// beyond what was in use before, and the largest step.
void RunComparison(benchmark::State& state, const EepromImage& a, const EepromImage& b) {
    bench::StillScheduler clock;
    Scheduler* previous = SetScheduler(&clock);
    double peak = 0, longestStep = 0;
    size_t lines = 0;
    for (auto _ : state) {
        const double before = HeapKb();
        ImageComparison comparison(a, b);
        for (;;) {
            const auto start = std::chrono::steady_clock::now();
            const bool more = comparison.Step();
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            longestStep = std::max(longestStep, took.count());
            peak = std::max(peak, HeapKb() - before);
            if (!more) break;
        }
        lines = comparison.Result().Lines().size();
    }
    // One document as File > Open leaves it: its images, loaded and packed.
    const double before = HeapKb();
    double document = 0;
    {
        EventManager events;
        Document doc(events);
        doc.Working().Assign(a);
        doc.AfterLoad();
        document = HeapKb() - before;
    }
    SetScheduler(previous);
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["peak_heap_kb"] = peak;
    state.counters["document_heap_kb"] = document;
    state.counters["longest_step_ms"] = longestStep;
}

// Every pair of the four variants' factory files.
void BM_CompareTwoVariantsFactoryFiles(benchmark::State& state) {
    static const char* const kPairs[][2] = {
        {"LMR", "PMR"},      {"LMR", "PMRT"},     {"LMR", "DPMR446"},
        {"PMR", "PMRT"},     {"PMR", "DPMR446"},  {"PMRT", "DPMR446"},
    };
    const auto& pair = kPairs[state.range(0)];
    state.SetLabel(std::string(pair[0]) + " / " + pair[1]);
    RunComparison(state, LoadData(std::string("MV7105C_") + pair[0] + ".icf"),
                  LoadData(std::string("MV7105C_") + pair[1] + ".icf"));
}
BENCHMARK(BM_CompareTwoVariantsFactoryFiles)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Every byte from 0x0120 to the end of the radio area differs.
void BM_CompareEveryByteDiffers(benchmark::State& state) {
    const EepromImage a = LoadData("MV7105C_LMR.icf");
    EepromImage b;
    b.Assign(a);
    for (int32_t x = 0x0120; x < std::min(b.GetSize(), kRadioAreaLimit); ++x)
        b.SetByte(x, static_cast<uint8_t>(b.GetByte(x) ^ 0xFF));
    RunComparison(state, a, b);
}
BENCHMARK(BM_CompareEveryByteDiffers)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parlo
