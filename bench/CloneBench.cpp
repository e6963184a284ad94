// A full read and a full write at 9600 and 38400 baud against the radio
// simulator pacing at line rate, on a pseudo-terminal and the Qt event loop,
// as parlo-cli runs them. Reports the wall time, the pure line time of the
// bytes that crossed the line in both directions (each at the speed it went
// at, echoes aside since they travel with the byte sent) and their ratio,
// for the whole operation and for its data phase (from the end of the
// request on). The goals: a data phase within 1.03 times its line time, the
// whole within its line time plus 100 ms for each of the four reopenings of
// the port, plus 5 %: `whole_goal` is wall / (line + 0.4 s) and should stay
// at or below 1.05.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>
#include <thread>

#include "clone/CloneFileOps.h"
#include "clone/CloneManager.h"
#include "overlay/OverlayText.h"
#include "platform/ProgramInfo.h"
#include "platform/qtcore/QtScheduler.h"
#include "tools/radio-sim/RadioPty.h"

namespace parlo {
namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "parlo_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

void CloneOverLine(benchmark::State& state, CloneOperation op) {
    App();
    const bool high = state.range(0) == 38400;
    qt::QtScheduler scheduler;
    Scheduler* previous = SetScheduler(&scheduler);

    sim::RadioConfig config;
    config.image.SetSize(kImageSize);
    if (ReadInitialFile(DataDir() + OvlText("GI_App_InitialFile", 0), config.image).code !=
        kFileOk) {
        state.SkipWithError("no initial image");
        return;
    }
    const EepromImage image = config.image;
    sim::Radio radio(std::move(config));
    sim::RadioPty line(radio, true);
    std::string error;
    if (!line.Open(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::atomic<bool> stop{false};
    std::thread server([&] { line.Run(stop); });

    CloneManager man;
    man.SetPort(0, line.DevicePath());
    man.SetHighSpeed(high);
    man.SetCodes(0x2927, 0);
    man.SetImageSize(kImageSize);
    man.SetReadHandler([](CloneResult&) {});
    int status = -1;
    double wall = 0;
    for (auto _ : state) {
        const int64_t lineBefore = line.LineNs();
        const int64_t start = sim::NowNs();
        int64_t end = start;
        QEventLoop loop;
        auto done = [&](CloneResult& r) {
            end = sim::NowNs();
            status = r.status;
            loop.quit();
        };
        const bool started = op == kOpRead
                                 ? man.Read(SingleRange(0x0000, kRadioAreaEnd), done)
                                 : man.Write(image, SingleRange(0x0100, kRadioAreaEnd), done);
        if (started) loop.exec();
        wall = static_cast<double>(end - start) / 1e9;
        state.SetIterationTime(wall);
        const double lineSeconds = static_cast<double>(line.LineNs() - lineBefore) / 1e9;
        const double dataWall = static_cast<double>(end - line.RequestEndNs()) / 1e9;
        const double dataLine = static_cast<double>(line.LineNs() - line.LineNsAtRequest()) / 1e9;
        state.counters["line_s"] = lineSeconds;
        state.counters["wall_s"] = wall;
        state.counters["ratio"] = wall / lineSeconds;
        state.counters["whole_goal"] = wall / (lineSeconds + 0.4);
        state.counters["data_line_s"] = dataLine;
        state.counters["data_wall_s"] = dataWall;
        state.counters["data_ratio"] = dataWall / dataLine;
    }
    stop = true;
    server.join();
    SetScheduler(previous);
    if (status != kCloneOk) state.SkipWithError("the clone operation failed");
}

void BM_CloneRead(benchmark::State& state) { CloneOverLine(state, kOpRead); }
void BM_CloneWrite(benchmark::State& state) { CloneOverLine(state, kOpWrite); }

BENCHMARK(BM_CloneRead)
    ->Arg(9600)
    ->Arg(38400)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_CloneWrite)
    ->Arg(9600)
    ->Arg(38400)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace parlo
