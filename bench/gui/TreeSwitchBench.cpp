// The navigation tree as a user clicks through it, on the offscreen
// platform with the shipped data files: the time from a click on a node to
// its page painted, and the resident memory over 500 switches.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/gui/MainWindowHost.h"
#include "gui/NavigationTree.h"
#include "gui/SheetWidget.h"
#include "model/ModelVariant.h"

namespace parlo {
namespace {

// The main window of the dPMR446 variant, and the tree items that open a page.
class ClickThrough : public bench::MainWindowHost {
public:
    ClickThrough() : MainWindowHost(1000, 700, kVariantDPmr446) {
        tree_ = Window().TreeView();
        tree_->expandAll();
        std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
            items_.push_back(item);
            for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
        };
        for (int i = 0; i < tree_->topLevelItemCount(); ++i) walk(tree_->topLevelItem(i));
    }
    // Clicks the next node and paints its page.
    void Next() {
        QTreeWidgetItem* item = items_[next_++ % items_.size()];
        tree_->scrollToItem(item);
        QTest::mouseClick(tree_->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tree_->visualItemRect(item).center());
        Window().Sheets()->repaint();
    }
    size_t Nodes() const { return items_.size(); }

private:
    qt::NavigationTree* tree_ = nullptr;
    std::vector<QTreeWidgetItem*> items_;
    size_t next_ = 0;
};

// Resident memory in KiB.
double ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1024.0;
}

void BM_TreeSwitchByMouse(benchmark::State& state) {
    ClickThrough tree;
    for (auto _ : state) tree.Next();
    state.counters["nodes"] = static_cast<double>(tree.Nodes());
}
BENCHMARK(BM_TreeSwitchByMouse)->Unit(benchmark::kMillisecond);

void BM_MemoryOver500TreeSwitches(benchmark::State& state) {
    for (auto _ : state) {
        ClickThrough tree;
        for (size_t i = 0; i < tree.Nodes(); ++i) tree.Next();  // the first walk
        const double first = ResidentKiB();
        for (int i = 0; i < 500; ++i) tree.Next();
        const double after = ResidentKiB();
        state.counters["rss_first_walk_KiB"] = first;
        state.counters["rss_after_500_KiB"] = after;
        state.counters["growth_KiB"] = after - first;
    }
}
BENCHMARK(BM_MemoryOver500TreeSwitches)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parlo

int main(int argc, char** argv) {
    // The offscreen screen is 800 x 800 unless told otherwise, and a window
    // on it no larger: the pages are measured at the size a desktop gives.
    const std::string screen = "/tmp/parlo-gui-bench-" + std::to_string(::getpid()) + ".json";
    std::ofstream(screen) << R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920,
        "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen).c_str(), 0);
    QApplication app(argc, argv);
    std::remove(screen.c_str());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
