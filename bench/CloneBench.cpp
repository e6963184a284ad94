// A full read and a full write at 9600 and 38400 baud against the radio
// simulator pacing at line rate, on a pseudo-terminal and the Qt event loop,
// as parlo-cli runs them. Reports the wall time, the pure line time of the
// bytes that crossed the line in both directions (each at the speed it went
// at, echoes aside since they travel with the byte sent) and their ratio.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>
#include <chrono>
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
    if (ReadInitialFile(DataDir() + OvlText("GI_App_InitialFile", 0), config.image) != kFileOk) {
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
        const auto start = std::chrono::steady_clock::now();
        QEventLoop loop;
        auto done = [&](CloneResult& r) {
            status = r.status;
            loop.quit();
        };
        const bool started = op == kOpRead
                                 ? man.Read(SingleRange(0x0000, kRadioAreaEnd), done)
                                 : man.Write(image, SingleRange(0x0100, kRadioAreaEnd), done);
        if (started) loop.exec();
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        const double lineSeconds = static_cast<double>(line.LineNs() - lineBefore) / 1e9;
        state.counters["line_s"] = lineSeconds;
        state.counters["wall_s"] = wall;
        state.counters["ratio"] = wall / lineSeconds;
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
