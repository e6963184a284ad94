// The parts of a click on the 64-channel bank page and of a key in it, on
// the offscreen platform at 1600 x 1000: what the X benchmark
// (bench/x11/PaintBench.cpp) times as a whole, taken apart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app/AppSettings.h"
#include "bench/gui/MainWindowHost.h"
#include "gui/MainWindow.h"
#include "gui/NavigationTree.h"
#include "gui/SheetWidget.h"

namespace parlo {
namespace {

// The main window at 1600 x 1000 with the 64-channel bank file, its first
// bank's node found.
class BankPage : public bench::MainWindowHost {
public:
    BankPage() : MainWindowHost(1600, 1000) {
        Window().Controller().Open(PARLO_BANK64_FILE);
        Window().TreeView()->expandAll();
        Window().Controller().Tree()->ForEach([&](TreeNode& n) {
            if (bank_ == nullptr && n.Action().find(",Bank 0") != std::string::npos) bank_ = &n;
            if (other_ == nullptr && n.Action().find("BankOp") != std::string::npos) other_ = &n;
        });
        QTest::qWait(50);
    }
    void Open(TreeNode* node) { Window().Controller().SelectNode(node); }
    TreeNode* bank_ = nullptr;
    TreeNode* other_ = nullptr;
};

// The controller opens the page (sheet built, warnings checked) and the
// sheet paints it, without the X server.
void BM_OpenAndPaintBankPage(benchmark::State& state) {
    BankPage page;
    for (auto _ : state) {
        state.PauseTiming();
        page.Open(page.other_);
        page.Window().Sheets()->viewport()->repaint();
        state.ResumeTiming();
        page.Open(page.bank_);
        page.Window().Sheets()->viewport()->repaint();
    }
}
BENCHMARK(BM_OpenAndPaintBankPage)->Unit(benchmark::kMillisecond);

// The same through the tree, as a click does it, with everything the
// window then draws.
void BM_ClickBankPage(benchmark::State& state) {
    BankPage page;
    qt::NavigationTree* tree = page.Window().TreeView();
    auto click = [&](TreeNode* node) {
        QTreeWidgetItem* item = nullptr;
        for (QTreeWidgetItemIterator it(tree); *it != nullptr && item == nullptr; ++it) {
            if ((*it)->text(0) == QString::fromStdString(node->caption)) item = *it;
        }
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tree->visualItemRect(item).center());
        QApplication::processEvents();
    };
    for (auto _ : state) {
        state.PauseTiming();
        click(page.other_);
        state.ResumeTiming();
        click(page.bank_);
    }
}
BENCHMARK(BM_ClickBankPage)->Unit(benchmark::kMillisecond);

void BM_PaintBankPage(benchmark::State& state) {
    BankPage page;
    page.Open(page.bank_);
    QWidget* viewport = page.Window().Sheets()->viewport();
    for (auto _ : state) viewport->repaint();
    state.counters["viewport_kpx"] = viewport->width() * viewport->height() / 1000.0;
}
BENCHMARK(BM_PaintBankPage)->Unit(benchmark::kMillisecond);

void BM_CheckWarnings(benchmark::State& state) {
    BankPage page;
    for (auto _ : state) page.Window().Controller().CheckWarnings();
}
BENCHMARK(BM_CheckWarnings)->Unit(benchmark::kMillisecond);

// A key that moves the cursor, with what it repaints.
void BM_CursorKeyInBankPage(benchmark::State& state) {
    BankPage page;
    page.Open(page.bank_);
    qt::SheetWidget* sheet = page.Window().Sheets();
    sheet->setFocus();
    sheet->GoToCell(4, sheet->CurrentSheet()->FixedRows() + 2);
    bool down = true;
    for (auto _ : state) {
        QTest::keyClick(sheet, down ? Qt::Key_Down : Qt::Key_Up);
        down = !down;
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CursorKeyInBankPage)->Unit(benchmark::kMillisecond);

// File > Open of a large clone file: the 64-channel file's data lines again
// and again up to 7.7 MB, which the reader accepts.
void BM_OpenLargeFile(benchmark::State& state) {
    BankPage page;
    const std::string large = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                              "/parlo-bench-large.icf";
    {
        std::ifstream in(PARLO_BANK64_FILE, std::ios::binary);
        std::string line, head, data;
        for (int n = 0; std::getline(in, line); ++n) (n < 3 ? head : data) += line + "\n";
        std::ofstream out(large, std::ios::binary);
        out << head;
        for (size_t size = head.size(); size < 7'700'000; size += data.size()) out << data;
    }
    for (auto _ : state) {
        page.Window().Controller().Open(large);
        QApplication::processEvents();
    }
    std::remove(large.c_str());
}
BENCHMARK(BM_OpenLargeFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parlo
