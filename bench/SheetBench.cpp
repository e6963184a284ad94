// Painting a whole channel page as the grid does on every repaint: every
// cell of the PMR bank sheet, the channel names as display characters.
#include <benchmark/benchmark.h>

#include "bench/BenchDocument.h"
#include "model/ModelVariant.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/SheetFactory.h"

namespace parlo {
namespace {

// Measures like FixedMetricsCanvas and counts what would be painted.
class CountingCanvas : public FixedMetricsCanvas {
public:
    void FillPolygon(const std::vector<Point>& p, uint32_t) override { points += p.size(); }
    void DrawText(int, int, const std::string& t, uint32_t) override { chars += t.size(); }
    size_t points = 0, chars = 0;
};

void BM_PaintBankSheet(benchmark::State& state) {
    bench::BenchDocument document(kVariantPmr);
    auto sheet = CreateSheet("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0", {}, document.doc.Scope(),
                             document.cells.Entry());
    FixedMetricsCanvas measure;
    sheet->Build(measure);
    CountingCanvas canvas;
    for (auto _ : state) {
        int top = 0;
        for (int r = 0; r < sheet->RowCount(); ++r) {
            int left = 0;
            for (int c = 0; c < sheet->ColCount(); ++c) {
                sheet->DrawCell(canvas, c, r,
                                {left, top, left + sheet->ColWidth(c), top + sheet->RowHeight(r)},
                                true);
                left += sheet->ColWidth(c);
            }
            top += sheet->RowHeight(r);
        }
    }
    benchmark::DoNotOptimize(canvas.points + canvas.chars);
    state.counters["cells"] = static_cast<double>(sheet->RowCount() * sheet->ColCount());
    sheet.reset();  // unsubscribes from the events first
    state.counters["polygon_points"] =
        benchmark::Counter(static_cast<double>(canvas.points), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PaintBankSheet)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parlo
