// parlo_paint_bench: what a user waits for after a click or a key, in the
// desktop program's main window at 1600 x 1000 on a real X server (the
// display of $DISPLAY, a window manager running), beside the floor window
// (bench/floor). The input goes through the X server (XTEST) as a mouse's or
// a keyboard's would; the time runs from sending it to the last drawing the
// DAMAGE extension reports in the window before the window rests.
//
//   parlo_paint_bench CLONE.icf [--rounds N]
//
// CLONE.icf should hold a bank with 64 channels (bank 1).
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "bench/floor/FloorWindow.h"
#include "bench/gui/MainWindowHost.h"
#include "bench/x11/XSession.h"
#include "gui/MainWindow.h"
#include "gui/NavigationTree.h"
#include "gui/QtScreen.h"
#include "gui/SheetWidget.h"
#include "platform/NumberText.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"

namespace parlo::bench {
namespace {

constexpr int kQuietMs = 80;       // no drawing for this long: the window rests
constexpr int kDeadlineMs = 3000;  // no drawing at all by then: the sample failed
constexpr int kWidth = 1600, kHeight = 1000;

struct Sample {
    double ms;    // from the input sent to the last drawing
    long pixels;  // drawn in that time (rectangles reported, overlaps counted twice)
    double cpuMs;  // processor time this process used in that time
};

// The processor time of this process so far, in ms.
double ProcessorMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Tooltips would come and go over the pointer at rest and draw into the
// window: none are shown while measuring.
class NoToolTips : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip; }
};

// Input through the X server, and the window's drawing as the server reports it.
class Input {
public:
    explicit Input(XSession& x) : x_(x) {
        notifier_ = std::make_unique<QSocketNotifier>(x.Fd(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
        quiet_.setSingleShot(true);
        quiet_.setTimerType(Qt::PreciseTimer);
        deadline_.setSingleShot(true);
        QObject::connect(&quiet_, &QTimer::timeout, &loop_, &QEventLoop::quit);
        QObject::connect(&deadline_, &QTimer::timeout, &loop_, &QEventLoop::quit);
    }

    void Watch(QWidget* window) {
        x_.ForgetAll();
        window_ = static_cast<XWindow>(window->winId());
        x_.WatchDamage(window_);
    }

    // Sends what `send` sends, then waits for the window to rest: the time
    // from the sending to its last drawing, or nothing when it drew nothing.
    std::optional<Sample> Measure(const std::function<void()>& send) {
        Rest();
        painted_.reset();
        pixels_ = 0;
        const double cpu = ProcessorMs();
        const Clock::time_point start = Clock::now();
        send();
        x_.Flush();
        Wait();
        if (!painted_) return std::nullopt;
        return Sample{MsBetween(start, *painted_), pixels_, paintedCpu_ - cpu};
    }

    // Waits until the window has not drawn for a while.
    void Rest() {
        painted_.reset();
        Drain();
        quiet_.start(kQuietMs);
        deadline_.start(kDeadlineMs);
        loop_.exec();
        deadline_.stop();
    }

    void MoveTo(const QPoint& global) { x_.PointerTo(global.x(), global.y()); }
    void Click() { x_.Click(); }
    void Key(const char* name) { x_.Key(name); }

private:
    void Wait() {
        deadline_.start(kDeadlineMs);
        Drain();
        loop_.exec();
        deadline_.stop();
        quiet_.stop();
    }

    void Drain() {
        if (const long pixels = x_.DrainDamage(window_)) {
            painted_ = Clock::now();
            paintedCpu_ = ProcessorMs();
            pixels_ += pixels;
            quiet_.start(kQuietMs);
        }
    }

    XSession& x_;
    std::unique_ptr<QSocketNotifier> notifier_;
    XWindow window_ = 0;
    std::optional<Clock::time_point> painted_;
    long pixels_ = 0;
    double paintedCpu_ = 0;
    QEventLoop loop_;
    QTimer quiet_, deadline_;
};

struct Samples {
    std::vector<double> ms, kilopixels, cpuMs;
    int failed = 0;
    void Add(std::optional<Sample> v) {
        if (!v) {
            ++failed;
            return;
        }
        ms.push_back(v->ms);
        kilopixels.push_back(static_cast<double>(v->pixels) / 1000.0);
        cpuMs.push_back(v->cpuMs);
    }
};

QPoint Centre(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    return tree->viewport()->mapToGlobal(tree->visualItemRect(item).center());
}

// A click on a tree item: the pointer goes there first and the window rests
// (the hover highlight), then the click is timed.
std::optional<Sample> ClickItem(Input& input, QTreeWidget* tree, QTreeWidgetItem* item) {
    input.MoveTo(Centre(tree, item));
    return input.Measure([&] { input.Click(); });
}

QList<QTreeWidgetItem*> AllItems(QTreeWidget* tree) {
    QList<QTreeWidgetItem*> items;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        items << item;
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i));
    return items;
}

void ShowAlone(Input& input, QWidget* shown, QWidget* hidden) {
    hidden->hide();
    shown->setGeometry(0, 0, kWidth, kHeight);
    shown->show();
    shown->activateWindow();
    input.Watch(shown);
    input.Rest();
    input.Rest();
}

// The cell of the bank sheet that shows `text`, and the cell in its row
// under the heading `heading`.
std::optional<std::pair<QPoint, QPoint>> BankCells(qt::SheetWidget* view, const std::string& text,
                                                   const std::string& heading) {
    Sheet* sheet = view->CurrentSheet();
    if (sheet == nullptr) return std::nullopt;
    int row = -1, headingCol = -1, textCol = -1;
    for (int r = 0; r < sheet->RowCount() && row < 0; ++r) {
        for (int c = 0; c < sheet->ColCount(); ++c) {
            const std::string shown = sheet->CellText(c, r);
            if (shown == heading && headingCol < 0) headingCol = c;
            if (shown == text) {
                row = r;
                textCol = c;
                break;
            }
        }
    }
    if (row < 0 || headingCol < 0) return std::nullopt;
    view->GoToCell(textCol, row);
    return std::make_pair(view->GlobalCellRect(textCol, row).center(),
                          view->GlobalCellRect(headingCol, row).center());
}

void Print(const char* what, const Samples& parlo, const Samples& floor) {
    auto cell = [](const Samples& s, double f) { return Column(Percentile(s.ms, f), 7); };
    std::printf("  %-34s %s %s %s %5zu %s %s   %s %s %s", what, cell(parlo, 0.5).c_str(),
                cell(parlo, 0.95).c_str(), cell(parlo, 1.0).c_str(), parlo.ms.size(),
                Column(Percentile(parlo.kilopixels, 0.5), 6, 0).c_str(),
                Column(Percentile(parlo.cpuMs, 0.5), 6).c_str(), cell(floor, 0.5).c_str(),
                cell(floor, 0.95).c_str(), cell(floor, 1.0).c_str());
    if (parlo.failed + floor.failed > 0)
        std::printf("   (%d without drawing)", parlo.failed + floor.failed);
    std::printf("\n");
}

int Run(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CLONE.icf [--rounds N]\n", argv[0]);
        return 64;
    }
    const int rounds = argc > 3 && std::string(argv[2]) == "--rounds"
                           ? std::max(1, LeadingInteger(argv[3]))
                           : 3;
    XSession x;
    if (!x.Ok() || QGuiApplication::platformName() != "xcb") {
        std::printf("parlo_paint_bench skipped: %s\n",
                    x.Ok() ? "Qt does not run on X here" : x.Problem().c_str());
        return 0;
    }
    if (!x.HasXTest()) {
        std::printf("parlo_paint_bench skipped: the X server has no XTEST extension\n");
        return 0;
    }
    NoToolTips noToolTips;
    qApp->installEventFilter(&noToolTips);

    qt::QtScheduler scheduler;
    Scheduler* previousScheduler = SetScheduler(&scheduler);
    NoSettings store;
    qt::QtScreen screen;
    AppSettings env(store, screen, nullptr);
    env.Defaults();
    Input input(x);
    Samples parloTree, parloBank, parloKey, parloChoice, floorTree, floorPage, floorKey;
    {
        qt::MainWindow parlo(env, 0, nullptr);
        if (!parlo.Controller().Open(argv[1])) {
            std::fprintf(stderr, "%s: cannot open %s\n", argv[0], argv[1]);
            return 1;
        }
        FloorWindow floor;
        floor.hide();
        qt::NavigationTree* tree = parlo.TreeView();
        for (int round = 0; round < rounds; ++round) {
            // Every node of the tree, one after the other.
            ShowAlone(input, &parlo, &floor);
            tree->expandAll();
            input.Rest();
            const QList<QTreeWidgetItem*> items = AllItems(tree);
            // Each click goes to another node than the current one.
            ClickItem(input, tree, items.back());
            for (QTreeWidgetItem* item : items) parloTree.Add(ClickItem(input, tree, item));
            // The 64-channel bank and the page before it, in turn.
            QTreeWidgetItem* bank = nullptr;
            for (int i = 1; i < items.size() && bank == nullptr; ++i) {
                if (items[i]->text(0).startsWith("Bank 1 "))
                    bank = items[i];
            }
            if (bank == nullptr) {
                std::fprintf(stderr, "%s: no bank page in the tree\n", argv[0]);
                return 1;
            }
            QTreeWidgetItem* before = tree->itemAbove(bank);
            for (int i = 0; i < 20; ++i) {
                ClickItem(input, tree, before);
                parloBank.Add(ClickItem(input, tree, bank));
            }
            // Keys in the bank page: the cursor down and up, and Space on a
            // choice (the power) that steps to the next value.
            const auto cells = BankCells(parlo.Sheets(), "CH 1", "Power");
            if (!cells) {
                std::fprintf(stderr, "%s: the bank page shows no channel CH 1 or no Power\n", argv[0]);
                return 1;
            }
            input.MoveTo(cells->first);
            input.Measure([&] { input.Click(); });
            for (const char* key : {"Down", "Up"}) {
                for (int i = 0; i < 30; ++i) parloKey.Add(input.Measure([&] { input.Key(key); }));
            }
            input.MoveTo(cells->second);
            input.Measure([&] { input.Click(); });
            for (int i = 0; i < 20; ++i) parloChoice.Add(input.Measure([&] { input.Key("space"); }));

            // The floor: its tree, its page twice in turn, its keys.
            ShowAlone(input, &floor, &parlo);
            const QList<QTreeWidgetItem*> floorItems = floor.Items();
            ClickItem(input, floor.Tree(), floorItems.back());
            for (QTreeWidgetItem* item : floorItems) floorTree.Add(ClickItem(input, floor.Tree(), item));
            for (int i = 0; i < 20; ++i) {
                ClickItem(input, floor.Tree(), floorItems[1]);
                floorPage.Add(ClickItem(input, floor.Tree(), floorItems[2]));
            }
            QTableWidget* table = floor.Table();
            input.MoveTo(table->viewport()->mapToGlobal(table->visualItemRect(table->item(0, 1)).center()));
            input.Measure([&] { input.Click(); });
            for (const char* key : {"Down", "Up"}) {
                for (int i = 0; i < 30; ++i) floorKey.Add(input.Measure([&] { input.Key(key); }));
            }
        }
        std::printf("click or key -> painted, ms, at %d x %d (%d rounds)\n", kWidth, kHeight, rounds);
        std::printf("  %-34s %7s %7s %7s %5s %6s %6s   %7s %7s %7s\n", "", "p50", "p95", "max",
                    "n", "kpx50", "cpu50", "floor50", "p95", "max");
        Print("tree click, every node", parloTree, floorTree);
        Print("tree click to the 64-channel bank", parloBank, floorPage);
        Print("key: cursor down/up in the bank", parloKey, floorKey);
        Print("key: Space steps a choice", parloChoice, {});
        parlo.hide();
    }
    SetScheduler(previousScheduler);
    return 0;
}

}  // namespace
}  // namespace parlo::bench

int main(int argc, char** argv) {
    // A real X server only: the offscreen platform draws nowhere a client sees.
    if (const char* display = std::getenv("DISPLAY"); display == nullptr || *display == 0) {
        std::printf("parlo_paint_bench skipped: no X display (DISPLAY unset)\n");
        return 0;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    return parlo::bench::Run(argc, argv);
}
