// The navigation tree as a user clicks through it, on the offscreen
// platform with the shipped data files: the time from a click on a node to
// its page painted, and the resident memory over 500 switches.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "app/AppSettings.h"
#include "gui/MainWindow.h"
#include "gui/NavigationTree.h"
#include "gui/SheetWidget.h"
#include "model/ModelVariant.h"
#include "platform/SettingsStore.h"
#include "platform/qtcore/QtScheduler.h"

namespace parlo {
namespace {

// Nothing stored: every run starts with the defaults.
class NoSettings : public SettingsStore {
public:
    std::optional<int32_t> ReadInt(const std::string&, const std::string&) const override {
        return std::nullopt;
    }
    std::optional<std::string> ReadText(const std::string&, const std::string&) const override {
        return std::nullopt;
    }
    std::vector<std::string> Names(const std::string&) const override { return {}; }
    void WriteInt(const std::string&, const std::string&, int32_t) override {}
    void WriteText(const std::string&, const std::string&, const std::string&) override {}
    bool Flush() override { return true; }
};

// The main window of the dPMR446 variant, and the tree items that open a page.
class ClickThrough {
public:
    ClickThrough() {
        env_.Defaults();
        env_.SetModelType(kVariantDPmr446);
        window_ = std::make_unique<qt::MainWindow>(env_, 0, nullptr);
        window_->resize(1000, 700);
        window_->show();
        QTest::qWait(150);
        tree_ = window_->TreeView();
        tree_->expandAll();
        std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
            items_.push_back(item);
            for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
        };
        for (int i = 0; i < tree_->topLevelItemCount(); ++i) walk(tree_->topLevelItem(i));
    }
    ~ClickThrough() {
        window_.reset();
        SetScheduler(previousScheduler_);
    }
    // Clicks the next node and paints its page.
    void Next() {
        QTreeWidgetItem* item = items_[next_++ % items_.size()];
        tree_->scrollToItem(item);
        QTest::mouseClick(tree_->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tree_->visualItemRect(item).center());
        window_->Sheets()->repaint();
    }
    size_t Nodes() const { return items_.size(); }

private:
    qt::QtScheduler scheduler_;
    Scheduler* previousScheduler_ = SetScheduler(&scheduler_);  // before the window
    NoSettings store_;
    FixedScreen screen_;
    AppSettings env_{store_, screen_, nullptr};
    std::unique_ptr<qt::MainWindow> window_;
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
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
