// Clone file read/write and overlay lookups.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "clone/CloneFile.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "overlay/OverlayText.h"

namespace parlo {
namespace {

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("parlo-bench-") + std::to_string(::getpid()) + "-" + name))
        .string();
}

EepromImage PatternImage() {
    EepromImage e;
    e.SetSize(kImageSize);
    for (int32_t a = 0; a < kImageSize; ++a) e.SetByte(a, static_cast<uint8_t>(a * 13));
    return e;
}

void BM_WriteCloneFile(benchmark::State& state) {
    EepromImage image = PatternImage();
    const std::string path = TempPath("w.icf");
    for (auto _ : state) {
        if (SaveCloneFile(path, image).code != kFileOk) state.SkipWithError("write failed");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteCloneFile)->Unit(benchmark::kMillisecond);

void BM_ReadCloneFile(benchmark::State& state) {
    EepromImage image = PatternImage();
    const std::string path = TempPath("r.icf");
    SaveCloneFile(path, image).code;
    EepromImage target;
    target.SetSize(kImageSize);
    for (auto _ : state) {
        if (ReadInitialFile(path, target).code != kFileOk) state.SkipWithError("read failed");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadCloneFile)->Unit(benchmark::kMillisecond);

// A clone file of 7.7 MB at `path`: its data lines again and again, which
// the reader accepts (a later line for an address replaces the earlier
// one). Its size.
size_t MakeLargeCloneFile(const std::string& path) {
    EepromImage image = PatternImage();
    SaveCloneFile(path, image).code;
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
        std::fclose(f);
    }
    size_t dataStart = 0;
    for (int line = 0; line < 3; ++line) dataStart = text.find('\n', dataStart) + 1;
    const std::string data = text.substr(dataStart);
    while (text.size() < 7'700'000) text += data;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    return text.size();
}

// Opening a large clone file should cost about what reading its bytes
// costs: the two side by side.
void BM_ReadLargeCloneFile(benchmark::State& state) {
    const std::string path = TempPath("large.icf");
    const size_t size = MakeLargeCloneFile(path);
    EepromImage target;
    target.SetSize(kImageSize);
    for (auto _ : state) {
        if (ReadInitialFile(path, target).code != kFileOk) state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadLargeCloneFile)->Unit(benchmark::kMillisecond);

// Its bytes read and its lines counted, as the floor program does.
void BM_ReadLargeFileBytes(benchmark::State& state) {
    const std::string path = TempPath("large.icf");
    const size_t size = MakeLargeCloneFile(path);
    std::vector<char> buffer(size_t{64} << 10);
    for (auto _ : state) {
        size_t lines = 0;
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0;)
                lines += static_cast<size_t>(std::count(buffer.begin(), buffer.begin() + n, '\n'));
            std::fclose(f);
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadLargeFileBytes)->Unit(benchmark::kMillisecond);

// A fresh database finds the last of 10,000 sections: a full forward scan.
void BM_OverlayLastSectionCold(benchmark::State& state) {
    const std::string path = TempPath("big.ovl");
    if (std::FILE* f = std::fopen(path.c_str(), "w")) {
        for (int i = 0; i < 10000; ++i) std::fprintf(f, "#GI_Key_%05d\nText %d\nMore\n#\n", i, i);
        std::fprintf(f, "#End_Of_Ovl\n");
        std::fclose(f);
    }
    for (auto _ : state) {
        OverlayText g;
        g.SetFile(path);
        benchmark::DoNotOptimize(g.GetText("GI_Key_09999"));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_OverlayLastSectionCold)->Unit(benchmark::kMillisecond);

// The same section asked for again: moved to the head, lines cached.
void BM_OverlayLastSectionWarm(benchmark::State& state) {
    const std::string path = TempPath("big2.ovl");
    if (std::FILE* f = std::fopen(path.c_str(), "w")) {
        for (int i = 0; i < 10000; ++i) std::fprintf(f, "#GI_Key_%05d\nText %d\nMore\n#\n", i, i);
        std::fprintf(f, "#End_Of_Ovl\n");
        std::fclose(f);
    }
    OverlayText g;
    g.SetFile(path);
    g.GetText("GI_Key_09999");
    for (auto _ : state) benchmark::DoNotOptimize(g.GetText("GI_Key_09999"));
    std::remove(path.c_str());
}
BENCHMARK(BM_OverlayLastSectionWarm)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace parlo
