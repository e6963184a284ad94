// Editing in the main window on the offscreen platform, as the user does
// it: rows chosen with the mouse and commands from the right-click menu;
// undo and redo from the Edit menu and its shortcuts; the tree after a file
// of another variant.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "clone/CloneFileOps.h"
#include "gui/MainWindow.h"
#include "gui/NavigationTree.h"
#include "gui/SheetWidget.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/ExpectedImage.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

class EditingTest : public test::MainWindowFixture {
protected:
    void Open(int variant) {
        MainWindowFixture::Open(variant);
        window->resize(1000, 700);
        QApplication::processEvents();
    }
    MainController& Main() { return window->Controller(); }
    EepromImage& Image() { return Main().Doc().Working(); }
    qt::SheetWidget& Grid() { return *window->Sheets(); }
    Sheet& Current() { return *Grid().CurrentSheet(); }
    // The middle of a channel's receive frequency cell, scrolled into view.
    QPoint FrequencyCell(int slot) {
        Sheet& sheet = Current();
        for (int r = 0; r < sheet.RowCount(); ++r) {
            for (int c = 0; c < sheet.ColCount(); ++c) {
                const CellDesc& d = sheet.Cell(c, r);
                if (d.category != CT_Mch || d.cell != CL_Mch_FreqR || d.index != slot) continue;
                // Scrolled there with the scroll bar, as a user would.
                if (Grid().CellRect(c, r).isEmpty()) Grid().verticalScrollBar()->setValue(r);
                return Grid().CellRect(c, r).center();
            }
        }
        ADD_FAILURE() << "no cell for slot " << slot;
        return {};
    }
    // A right-click on a channel, then an item of the menu it opens.
    void RightClick(int slot, const QString& item) {
        const QPoint at = FrequencyCell(slot);
        bool seen = false, chosen = false;
        // The menu is handled as soon as it shows, however long that takes.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr || seen) return;
            seen = true;
            for (QAction* a : menu->actions()) {
                if (a->text() == item && a->isEnabled()) {
                    a->trigger();
                    chosen = true;
                }
            }
            menu->close();
        });
        poll.start(10);
        QTest::mousePress(Grid().viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(Grid().viewport(), Qt::RightButton, {}, at);
        EXPECT_TRUE(test::WaitUntil([&] { return seen; })) << "no menu for " << item.toStdString();
        QApplication::processEvents();
        EXPECT_TRUE(chosen) << item.toStdString();
    }
    QMenu* EditMenu() {
        for (QAction* top : window->menuBar()->actions()) {
            if (top->text() == "&Edit") return top->menu();
        }
        return nullptr;
    }
};

// Rows 2..6 selected with the mouse; a right-click inside the selection
// copies all five; pasted at slot 62, two of them fit.
TEST_F(EditingTest, TheRightClickMenuKeepsTheSelection) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    const EepromImage before = Image();
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, FrequencyCell(2));
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::ShiftModifier, FrequencyCell(6));
    RightClick(4, "&Copy");
    RightClick(62, "&Paste");
    EepromImage expected = before;
    test::CopySlot(expected, 62, before, 2);
    test::CopySlot(expected, 63, before, 3);
    EXPECT_TRUE(test::SamePackedImage(Image(), expected, kVariantPmr));

    // Outside the selection a right-click moves the cursor as before.
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, FrequencyCell(2));
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::ShiftModifier, FrequencyCell(3));
    RightClick(5, "&Copy");
    EXPECT_EQ(Current().CurrentAddress(), (CellAddress{CT_Mch, CL_Mch_FreqR, 5}));
}

// The current cell's commands answer their keys from the start, before the
// Edit menu has ever been opened: Ctrl+C copies, Del clears.
TEST_F(EditingTest, TheCellsCommandKeysWorkWithoutOpeningTheEditMenu) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, FrequencyCell(2));
    QApplication::processEvents();  // the menu follows the cell on the next turn
    QApplication::clipboard()->clear();
    QTest::keyClick(&Grid(), Qt::Key_C, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(QApplication::clipboard()->text().contains("446.031250"))
        << QApplication::clipboard()->text().toStdString();

    const EepromImage before = Image();
    QTest::keyClick(&Grid(), Qt::Key_Delete);
    QApplication::processEvents();
    EepromImage expected = before;
    test::BlankSlot(expected, 2, Main().Doc().Defaults());
    EXPECT_TRUE(test::SamePackedImage(Image(), expected, kVariantPmr));
}

// What a paint reads is kept only while it paints: after an edit and after
// its undo the page shows what the image then holds.
TEST_F(EditingTest, ThePagePaintedAfterAnEditAndItsUndoShowsTheImage) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QPoint at = FrequencyCell(2);
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    // The channel's row, through the middle of its texts.
    auto page = [&] {
        return Grid().viewport()->grab().toImage().copy(0, at.y() - 3, Grid().viewport()->width(), 7);
    };
    const QImage before = page();
    const EepromImage image = Image();
    QTest::keyClick(&Grid(), Qt::Key_Delete);
    ASSERT_TRUE(test::WaitUntil([&] { return !test::SameImage(Image(), image); }));
    QApplication::processEvents();
    EXPECT_NE(page(), before) << "the deleted channel is still shown";
    QMenu* edit = EditMenu();
    ASSERT_NE(edit, nullptr);
    emit edit->aboutToShow();
    ASSERT_FALSE(edit->actions().isEmpty());
    edit->actions()[0]->trigger();  // Undo
    QApplication::processEvents();
    EXPECT_EQ(page(), before) << "the channel back is not shown";
}

TEST_F(EditingTest, TheEditMenuUndoesAndRedoesByName) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    const EepromImage before = Image();
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, FrequencyCell(2));
    QTest::keyClicks(&Grid(), "4");
    QTest::keyClicks(QApplication::focusWidget(), "46.05625");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    const EepromImage after = Image();
    ASSERT_FALSE(test::SameImage(after, before));

    QMenu* edit = EditMenu();
    ASSERT_NE(edit, nullptr);
    emit edit->aboutToShow();
    QList<QAction*> items = edit->actions();
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "&Undo Edit Receive");
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_EQ(items[0]->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(items[1]->text(), "&Redo");
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_EQ(items[1]->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
    EXPECT_TRUE(items[2]->isSeparator());
    // Then the popup commands of the current cell.
    bool copy = false;
    for (QAction* a : items) copy |= a->text() == "&Copy";
    EXPECT_TRUE(copy);

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(&Grid(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(test::SameImage(Image(), before));
    EXPECT_EQ(Current().CurrentAddress(), (CellAddress{CT_Mch, CL_Mch_FreqR, 2}));
    EXPECT_FALSE(window->windowTitle().startsWith("*"));
    EXPECT_EQ(items[1]->text(), "&Redo Edit Receive");
    QTest::keyClick(&Grid(), Qt::Key_Y, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(test::SameImage(Image(), after));
    QTest::keyClick(&Grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing left
    QApplication::processEvents();
    EXPECT_TRUE(test::SameImage(Image(), after));
    EXPECT_TRUE(window->windowTitle().startsWith("*"));
}

// After a file of another variant the tree shows its nodes in the model's
// order: the bank layout, then banks 1 to 4.
TEST_F(EditingTest, TheTreeFollowsAFileOfAnotherVariant) {
    test::TempDir dir;
    EventManager events;
    Document other{events};
    ASSERT_TRUE(other.SelectModel(kVariantDPmr446));
    other.NewFromDefaults();
    other.PrepareImage(other.Working(), PackMode::Save);
    const std::string path = dir.file("d.icf");
    ASSERT_EQ(SaveCloneFile(path, other.Working()).code, kFileOk);
    Open(kVariantPmr);
    ASSERT_TRUE(Main().Open(path));
    QApplication::processEvents();

    std::vector<std::string> model, shown;
    TreeNode* channels = Main().Tree()->FindNode("[St_Common]GI_Sheet_Memory_CH_Top");
    ASSERT_NE(channels, nullptr);
    for (auto& child : channels->children) model.push_back(child->caption);
    const auto found =
        window->TreeView()->findItems("Memory channels", Qt::MatchStartsWith | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    for (int i = 0; i < found[0]->childCount(); ++i)
        shown.push_back(found[0]->child(i)->text(0).toStdString());
    EXPECT_EQ(shown, model);
    ASSERT_EQ(model.size(), 5u);
    EXPECT_EQ(model[0], "Bank layout");
}

}  // namespace
}  // namespace parlo
