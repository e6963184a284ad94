// The main window on the offscreen platform: the tree opens sheets, typing
// into a sheet edits the document, menus show their state; captions,
// headings, scroll bars and the status bar show what they should.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "gui/DebugLogWindow.h"
#include "gui/MainWindow.h"
#include "gui/NavigationTree.h"
#include "gui/SheetHeading.h"
#include "gui/SheetWidget.h"
#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

using MainWindowTest = test::MainWindowFixture;

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
    // The bank sheet grows on the posted event.
    EXPECT_TRUE(test::WaitUntil([&] { return sheet->RowCount() == rows + 1; }))
        << sheet->RowCount() << " rows";
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
    qt::DebugLogWindow* log = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w == window.get()) continue;
        for (auto* view : w->findChildren<qt::SheetWidget*>()) {
            if (view->CurrentSheet() != nullptr) {
                ++sheets;
                EXPECT_GT(view->CurrentSheet()->RowCount(), 100);  // a row per 16 bytes
                view->grab();
            }
        }
        if (auto* l = qobject_cast<qt::DebugLogWindow*>(w)) log = l;
        logs += w->windowTitle() == "Free Debug Window";
    }
    EXPECT_EQ(sheets, 1);
    EXPECT_EQ(logs, 1);
    ASSERT_NE(log, nullptr);
    Events().Post(ev::kDebugText, {"hello"});
    EXPECT_TRUE(test::WaitUntil([&] { return log->Log()->toPlainText() == "hello"; }));
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

// The item of the tree view that shows `action`'s node.
QTreeWidgetItem* ItemOf(qt::NavigationTree* view, const std::string& action) {
    QTreeWidgetItem* found = nullptr;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        auto* node = item->data(0, Qt::UserRole).value<TreeNode*>();
        if (node != nullptr && node->Action() == action) found = item;
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < view->topLevelItemCount(); ++i) walk(view->topLevelItem(i));
    return found;
}

// A click opens the page at once; arrowing waits for the selection to rest,
// so the keys stay quick.
TEST_F(MainWindowTest, AClickOpensAtOnceAndKeysWaitForTheSelectionToRest) {
    Open(kVariantPmr);
    qt::NavigationTree* tree = window->TreeView();
    QTreeWidgetItem* item = ItemOf(tree, "[St_Common]GI_Sheet_CTone");
    ASSERT_NE(item, nullptr);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tree->visualItemRect(item).center());
    EXPECT_EQ(window->Controller().SheetAction(), "[St_Common]GI_Sheet_CTone");

    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(window->Controller().SheetAction(), "[St_Common]GI_Sheet_CTone");
    EXPECT_TRUE(test::WaitUntil(
        [&] { return window->Controller().SheetAction() == "[St_Common]GI_Sheet_Dtmf"; }));
}

// Qt's own measure of the captions, every branch open, against the panel.
void ExpectCaptionsFit(qt::NavigationTree* tree, const std::string& what) {
    tree->expandAll();
    QApplication::processEvents();
    const QAbstractItemView* view = tree;  // where the measure is public
    EXPECT_LE(view->sizeHintForColumn(0), tree->viewport()->width()) << what;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        EXPECT_EQ(item->toolTip(0), item->text(0));
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i));
}

TEST_F(MainWindowTest, TreeCaptionsFitAndTellTheirTextWhenCut) {
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        ExpectCaptionsFit(window->TreeView(), "variant " + std::to_string(variant));
        window.reset();
    }
    // A variant with longer captions widens the panel it starts with.
    Open(kVariantDPmr446);
    window->Controller().ChangeModel(kVariantTarnPmr, false);
    ExpectCaptionsFit(window->TreeView(), "after the change");
}

TEST_F(MainWindowTest, TheStatusBarTellsWhatTheLastCommandDidAndThePortInUse) {
    test::TempDir dir;
    env.Defaults();
    env.SetModelType(kVariantLmr);
    env.SetPortDevice(3, "/dev/ttyS7");
    env.SetComPort(3);
    Start();
    auto status = [&] {
        QString text;
        for (QLabel* label : window->statusBar()->findChildren<QLabel*>()) {
            if (label->isVisible() && !label->text().isEmpty()) text += "[" + label->text() + "]";
        }
        return text.toStdString();
    };
    EXPECT_EQ(status(), "[Port 3 (/dev/ttyS7), 9600 baud]");
    const std::string file = dir.file("saved.icf");
    ASSERT_TRUE(window->Controller().Save(file));
    EXPECT_EQ(status(), "[Saved " + file + ".][Port 3 (/dev/ttyS7), 9600 baud]");
    window->Controller().RunCommand(CL_Menu_Port_SpeedHigh, 1, CellContext{});
    window->Controller().RunCommand(CL_Menu_Port_Com, 2, CellContext{});
    EXPECT_EQ(status(), "[Saved " + file + ".][Port 2 (/dev/ttyUSB1), 38400 baud]");
    ASSERT_TRUE(window->Controller().Open(file));
    EXPECT_EQ(status(), "[Opened " + file + ".][Port 2 (/dev/ttyUSB1), 38400 baud]");
    // Opening a page keeps it; a key on the page clears it.
    Select("[St_Common]GI_Sheet_Comm");
    EXPECT_TRUE(test::WaitUntil([&] { return Events().QueuedCount() == 0; }));
    QApplication::processEvents();
    EXPECT_EQ(status(), "[Opened " + file + ".][Port 2 (/dev/ttyUSB1), 38400 baud]");
    window->Sheets()->setFocus();
    QTest::keyClick(window->Sheets(), Qt::Key_Down);
    EXPECT_TRUE(test::WaitUntil([&] { return status() == "[Port 2 (/dev/ttyUSB1), 38400 baud]"; }))
        << status();
    window->Controller().RunCommand(CL_Menu_File_New, 0, CellContext{});
    EXPECT_EQ(status(), "[New LMR document.][Port 2 (/dev/ttyUSB1), 38400 baud]");
}

TEST_F(MainWindowTest, SheetHeadingsAreReadable) {
    Open(kVariantLmr);
    auto* heading = window->findChild<qt::SheetHeading*>();
    ASSERT_NE(heading, nullptr);
    // A page that names no colour, and bank pages in cyan and yellow.
    for (const char* action : {"[St_Common]GI_Sheet_Top", "[St_ChBank]GI_Sheet_Mch_LMR,Bank 0"}) {
        Select(action);
        ASSERT_TRUE(heading->isVisible()) << action;
        const QPalette p = heading->palette();
        EXPECT_GE(
            qt::SheetHeading::Contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)),
            4.5)
            << action;
    }
    Select("[St_Common]GI_Sheet_Top");
    EXPECT_EQ(heading->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::WindowText));
}

TEST_F(MainWindowTest, AScrollBarShowsOnlyWhenTheSheetDoesNotFit) {
    Open(kVariantPmr);
    window->resize(1000, 700);
    QApplication::processEvents();
    Select("[St_Common]GI_Sheet_Top");  // the overview: every row fits
    EXPECT_FALSE(window->Sheets()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(window->Sheets()->horizontalScrollBar()->isVisible());
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");  // wider than the window
    EXPECT_TRUE(window->Sheets()->horizontalScrollBar()->isVisible());
    // Scrolled to its end, the last column is in view.
    QScrollBar* bar = window->Sheets()->horizontalScrollBar();
    bar->setValue(bar->maximum());
    Sheet* sheet = window->Sheets()->CurrentSheet();
    const QRect last = window->Sheets()->CellRect(sheet->ColCount() - 1, 0);
    EXPECT_FALSE(last.isEmpty());
    EXPECT_LE(last.right(), window->Sheets()->viewport()->width());
}

}  // namespace
}  // namespace parlo
