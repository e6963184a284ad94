// The main window on the offscreen platform: the tree opens sheets, typing
// into a sheet edits the document, menus show their state.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include "gui/MainWindow.h"
#include "gui/NavigationTree.h"
#include "gui/SheetWidget.h"
#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    qt::QtScheduler scheduler;
    Scheduler* previousScheduler = SetScheduler(&scheduler);
    EventManager events;
    EventManager* previousEvents = SetEventManager(&events);
    test::RecordingPrompts prompts;
    test::MemorySettings store;
    FixedScreen screen;
    AppSettings env{store, screen, nullptr};
    std::unique_ptr<qt::MainWindow> window;

    void Open(int variant) {
        env.Defaults();
        env.SetModelType(static_cast<int8_t>(variant));
        window = std::make_unique<qt::MainWindow>(env, 0, nullptr);
        window->show();
        // The main task opens the first node's sheet (later on a busy machine).
        EXPECT_TRUE(
            QTest::qWaitFor([this] { return window->Sheets()->CurrentSheet() != nullptr; }, 5000));
    }
    ~MainWindowTest() override {
        window.reset();
        SetEventManager(previousEvents);
        SetScheduler(previousScheduler);
    }
    void Select(const std::string& action) {
        TreeNode* node = window->Controller().Tree()->FindNode(action);
        ASSERT_NE(node, nullptr) << action;
        window->Controller().SelectNode(node);
        QApplication::processEvents();
    }
};

TEST_F(MainWindowTest, StartsWithTheTreeAndTheFirstSheet) {
    Open(kVariantPmr);
    EXPECT_GT(window->TreeView()->topLevelItemCount(), 0);
    EXPECT_NE(window->Sheets()->CurrentSheet(), nullptr);
    EXPECT_EQ(window->windowTitle().toStdString().rfind("Untitled - ", 0), 0u);
    // No maker mode: the debug menu has nothing to show.
    for (QAction* top : window->menuBar()->actions()) {
        if (top->text().contains("Debug")) {
            EXPECT_FALSE(top->isVisible());
        }
    }
}

TEST_F(MainWindowTest, TypingIntoTheNewRowAddsAChannel) {
    Open(kVariantLmr);
    ResetBankLayout(window->Controller().Doc().Working(), true);  // banks of 4 and 4
    window->Controller().Doc().RebuildModelData();
    Select("[St_ChBank]GI_Sheet_Mch_LMR,Bank 0");
    Sheet* sheet = window->Sheets()->CurrentSheet();
    ASSERT_NE(sheet, nullptr);
    const int rows = sheet->RowCount();
    ASSERT_TRUE(sheet->SelectCell(CellAddress{CT_Mch, CL_Mch_FreqR, 4}));
    window->Sheets()->setFocus();
    QTest::keyClick(window->Sheets(), '1');  // opens the in-place editor
    ASSERT_NE(QApplication::focusWidget(), window->Sheets());
    QTest::keyClicks(QApplication::focusWidget(), "45.5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    ChannelRecord r(window->Controller().Doc().Working());
    r.Decode(1, 4);
    EXPECT_TRUE(r.present);
    EXPECT_EQ(r.Value(Field::RxFreq), 145'500'000);
    EXPECT_EQ(BankSize(window->Controller().Doc().Working(), 0), 5);
    for (int i = 0; i < 5 && sheet->RowCount() == rows; ++i) {
        QTest::qWait(20);  // the bank sheet grows on the posted event
    }
    EXPECT_EQ(sheet->RowCount(), rows + 1);
    EXPECT_TRUE(window->windowTitle().startsWith("*"));
}

TEST_F(MainWindowTest, PrintsTheCurrentSheetAndAllSheetsToPdf) {
    Open(kVariantPmr);
    test::TempDir dir;
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    auto print = [&](bool all, const std::string& name) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(dir.file(name)));
        return window->PrintTo(printer, all, [] { return false; });
    };
    const int current = print(false, "bank.pdf");
    EXPECT_GE(current, 1);
    const int all = print(true, "all.pdf");
    EXPECT_GT(all, current);
    EXPECT_EQ(test::ReadFile(dir.file("all.pdf")).substr(0, 4), "%PDF");
    // A cancelled job prints nothing more.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("none.pdf")));
    EXPECT_EQ(window->PrintTo(printer, true, [] { return true; }), 0);
}

TEST_F(MainWindowTest, TheServiceWindowsOpenInMakerMode) {
    Open(kVariantPmr);
    prompts.answer = MsgAnswer::Ok;
    ASSERT_TRUE(window->Controller().EnableMakerMode());
    CellContext none;
    window->Controller().RunCommand(CL_Menu_Debug_EeWindow, 0, none);
    window->Controller().RunCommand(CL_Menu_Debug_Window, 0, none);
    QApplication::processEvents();
    int sheets = 0, logs = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w == window.get()) continue;
        for (auto* view : w->findChildren<qt::SheetWidget*>()) {
            if (view->CurrentSheet() != nullptr) {
                ++sheets;
                EXPECT_GT(view->CurrentSheet()->RowCount(), 100);  // a row per 16 bytes
                view->grab();
            }
        }
        logs += w->windowTitle() == "Free Debug Window";
    }
    EXPECT_EQ(sheets, 1);
    EXPECT_EQ(logs, 1);
    Events().PostText(22, 0, 0, "hello");
    QTest::qWait(50);
}

TEST_F(MainWindowTest, EveryTreeNodeOpensItsSheet) {
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        std::vector<std::string> actions;
        window->Controller().Tree()->ForEach([&](TreeNode& n) {
            if (!n.Action().empty()) actions.push_back(n.Action());
        });
        for (const std::string& action : actions) {
            Select(action);
            ASSERT_NE(window->Sheets()->CurrentSheet(), nullptr) << action;
            window->Sheets()->grab();  // paints every visible cell
        }
        window.reset();
    }
}

}  // namespace
}  // namespace parlo
