// Drawing a full channel table: every bound cell of 64 rows, each decoded
// afresh from the image and turned into its text. Drawing every setting
// cell and the rows of two record pages, each first asked whether the
// variant keeps its bytes.
#include <benchmark/benchmark.h>

#include "bench/BenchDocument.h"
#include "cells/CellDispatcher.h"
#include "cells/SettingsCellMap.h"
#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"

namespace parlo {
namespace {

// The columns of a typical channel page.
constexpr int kChannelColumns[] = {
    CL_Mch_No,        CL_Mch_Atr,     CL_Mch_Inh,       CL_Mch_FreqR,     CL_Mch_FreqT,
    CL_Mch_TxInh,     CL_Mch_Nar,     CL_Mch_CTone_R,   CL_Mch_CTone_T,   CL_Mch_Text,
    CL_Mch_RfPo,      CL_Mch_Lockout, CL_Mch_Scan,      CL_Mch_PwrSave,   CL_Mch_Tot,
    CL_Mch_Moni,      CL_Mch_Sel,     CL_Mch_Call,      CL_Mch_PTT,       CL_Mch_CH_Mute,
    CL_Mch_Compander, CL_Mch_Scrm_On, CL_Mch_Scrm_Code, CL_Mch_AutoReset, CL_Mch_RxCNo,
};

// Asks every cell for its text, as a repaint does, once per iteration.
void DrawEvery(benchmark::State& state, CellDispatcher& cells, const std::vector<CellDesc>& descs) {
    size_t chars = 0;
    for (auto _ : state) {
        for (const CellDesc& d : descs) {
            CellContext ctx;
            ctx.desc = &d;
            cells.Handle(ctx, kModeDraw);
            chars += ctx.request.text.size();
        }
    }
    benchmark::DoNotOptimize(chars);
    state.counters["cells"] = static_cast<double>(descs.size());
    state.counters["per_cell"] =
        benchmark::Counter(static_cast<double>(state.iterations() * descs.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DrawChannelTable(benchmark::State& state) {
    bench::BenchDocument document(kVariantPmr);
    Document& doc = document.doc;
    // Every slot holds a channel with a CTCSS tone, so no cell takes a short cut.
    ChannelRecord r(doc.Working());
    for (int slot = 0; slot < 64; ++slot) {
        r.Decode(2, slot);
        r.present = true;
        r.SetValue(Field::RxFreq, 446'006'250 + 12'500 * (slot % 8));
        r.SetValue(Field::TxFreq, r.Value(Field::RxFreq));
        r.tones[0] = Tone{true, false, false, static_cast<uint8_t>(slot % 50), 0};
        r.tones[1] = r.tones[0];
        r.Store();
    }
    std::vector<CellDesc> descs;
    for (int slot = 0; slot < 64; ++slot) {
        for (int cell : kChannelColumns) {
            CellDesc d;
            d.category = CT_Mch;
            d.cell = cell;
            d.index = slot;
            descs.push_back(d);
        }
    }
    DrawEvery(state, document.cells, descs);
}
BENCHMARK(BM_DrawChannelTable)->Unit(benchmark::kMillisecond);

void BM_DrawSettingsAndRecords(benchmark::State& state) {
    bench::BenchDocument document(kVariantTarnPmr);
    std::vector<CellDesc> descs;
    for (const SettingCell& row : SettingCells()) {
        CellDesc d;
        d.cell = row.cell;
        descs.push_back(d);
    }
    for (int index = 0; index < 8; ++index) {
        for (int cell : {CL_Dtmf_ChNo, CL_Dtmf_Text, CL_Dtmf_Code}) {
            CellDesc d;
            d.category = CT_DTMF;
            d.cell = cell;
            d.index = index;
            descs.push_back(d);
        }
        for (int cell : {CL_Msk_IdGroup_Adr, CL_Msk_IdGroup_Text, CL_Msk_IdGroup_Alert,
                         CL_Msk_IdGroup_Bell, CL_Msk_IdGroup_SFunc}) {
            CellDesc d;
            d.category = CT_MSK_IdGroup;
            d.cell = cell;
            d.index = index;
            descs.push_back(d);
        }
    }
    DrawEvery(state, document.cells, descs);
}
BENCHMARK(BM_DrawSettingsAndRecords)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parlo
