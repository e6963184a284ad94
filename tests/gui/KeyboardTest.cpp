// Everything without a mouse: F6 between the tree, the sheet and the
// windows beside them; the row menu from the keyboard; an accelerator for
// every menu item; the main commands walked with keys only.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <set>

#include "gui/MenuAccelerators.h"
#include "gui/NavigationTree.h"
#include "gui/SheetWidget.h"
#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

class KeyboardTest : public test::MainWindowFixture {
protected:
    QWidget* Focus() const { return QApplication::focusWidget(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        if (target == nullptr) target = Focus() != nullptr ? Focus() : window.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }
    void Activate() {
        window->activateWindow();
        ASSERT_TRUE(test::WaitUntil([&] { return QApplication::activeWindow() == window.get(); }));
    }
    // Runs `command`, which opens a menu with exec(), and hands the menu to
    // `use`, which must close it.
    void WithPopup(const std::function<void()>& command, const std::function<void(QMenu*)>& use) {
        bool used = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu != nullptr && !used) {
                used = true;
                use(menu);
            }
        });
        poll.start(10);
        command();
        poll.stop();
        EXPECT_TRUE(used) << "no menu opened";
    }
    bool ChannelPresent(int slot) {
        ChannelRecord r(window->Controller().Doc().Working());
        r.Decode(ChannelKindOf(kVariantPmr), slot);
        return r.present;
    }
};

// Every visible item of a menu, and of its sub-menus, has an accelerator
// no other item of the same menu has.
void ExpectAccelerators(QMenu* menu, const std::string& where) {
    emit menu->aboutToShow();
    std::set<QChar> used;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible()) continue;
        const QChar key = qt::AcceleratorOf(a->text());
        EXPECT_FALSE(key.isNull()) << where << ": " << a->text().toStdString();
        EXPECT_TRUE(used.insert(key).second)
            << where << ": " << a->text().toStdString() << " repeats " << QString(key).toStdString();
        if (a->menu() != nullptr) ExpectAccelerators(a->menu(), where + " > " + a->text().toStdString());
    }
}

TEST_F(KeyboardTest, F6MovesBetweenTheTreeTheSheetAndTheCompareWindow) {
    Open(kVariantPmr);
    Activate();
    window->TreeView()->setFocus();
    Key(Qt::Key_F6);
    EXPECT_EQ(Focus(), window->Sheets());
    Key(Qt::Key_F6);
    EXPECT_EQ(Focus(), window->TreeView());
    Key(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(Focus(), window->Sheets());

    // A compare window joins the round while it is open, and F6 leaves it.
    window->ShowDifferences("other.icf", ImageDifferences{});
    ASSERT_NE(window->Differences(), nullptr);
    Activate();
    window->Sheets()->setFocus();
    Key(Qt::Key_F6);
    ASSERT_TRUE(test::WaitUntil([&] { return Focus() == window->Differences()->List(); }));
    Key(Qt::Key_F6);
    ASSERT_TRUE(test::WaitUntil([&] { return Focus() == window->TreeView(); }));
    Key(Qt::Key_F6, Qt::ShiftModifier);
    ASSERT_TRUE(test::WaitUntil([&] { return Focus() == window->Differences()->List(); }));
    window->Differences()->close();
}

TEST_F(KeyboardTest, ShiftF10AndTheMenuKeyOpenTheRowMenuAtTheCurrentCell) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    Activate();
    qt::SheetWidget* sheets = window->Sheets();
    Sheet* sheet = sheets->CurrentSheet();
    ASSERT_TRUE(sheet->SelectCell(CellAddress{CT_Mch, CL_Mch_FreqR, 2}));
    sheets->setFocus();
    const QRect cell = sheets->GlobalCellRect(sheet->Col(), sheet->Row());
    ASSERT_TRUE(ChannelPresent(2));

    WithPopup([&] { QTest::keyClick(sheets, Qt::Key_F10, Qt::ShiftModifier); },
              [&](QMenu* menu) {
                  // Below the cell, moved left only as far as the screen asks.
                  EXPECT_EQ(menu->geometry().top(), cell.bottom());
                  EXPECT_LE(menu->geometry().left(), cell.left());
                  EXPECT_GE(menu->geometry().right(), cell.left());
                  ExpectAccelerators(menu, "row menu");
                  QTest::keyClick(menu, Qt::Key_Escape);
              });
    EXPECT_TRUE(ChannelPresent(2));
    // The Menu key, then the accelerator of Clear.
    WithPopup([&] { QTest::keyClick(sheets, Qt::Key_Menu); },
              [&](QMenu* menu) { QTest::keyClick(menu, Qt::Key_A); });
    EXPECT_FALSE(ChannelPresent(2));
}

TEST_F(KeyboardTest, EveryMenuItemHasAnAcceleratorOfItsOwn) {
    prompts.answer = MsgAnswer::Ok;
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        // Ten recent files: the tenth does not take the first one's digit.
        for (int i = 10; i >= 1; --i)
            env.Recent().AddFront("/tmp/file" + std::to_string(i) + ".icf");
        ASSERT_TRUE(window->Controller().EnableMakerMode());  // the debug menu too
        Select("[St_ChBank]GI_Sheet_Mch_" + std::string(ChannelSheetName(variant)) + ",Bank 0");
        ASSERT_NE(window->Sheets()->CurrentSheet(), nullptr);
        std::set<QChar> tops;
        for (QAction* top : window->menuBar()->actions()) {
            if (!top->isVisible()) continue;
            EXPECT_TRUE(tops.insert(qt::AcceleratorOf(top->text())).second) << top->text().toStdString();
            ExpectAccelerators(top->menu(), top->text().toStdString());
        }
        window.reset();
    }
}

TEST_F(KeyboardTest, TheMainCommandsWorkWithoutAMouse) {
    Open(kVariantPmr);
    Activate();
    window->TreeView()->setFocus();
    // View > Font Size > Large, Port > COM2 from the menu bar.
    Key(Qt::Key_V, Qt::AltModifier);
    Key(Qt::Key_F);
    Key(Qt::Key_L);
    EXPECT_EQ(env.FontSizePercentage(), 125);
    Key(Qt::Key_P, Qt::AltModifier);
    Key(Qt::Key_2);
    EXPECT_EQ(env.ComPort(), 2);

    // The tree to the first bank, F6 to its sheet, a value typed in.
    window->TreeView()->setFocus();
    Key(Qt::Key_Down);  // Memory channels
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);  // Bank layout
    Key(Qt::Key_Down);  // Bank 1
    ASSERT_TRUE(test::WaitUntil([&] {
        return window->Controller().SheetAction() == "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0";
    }));
    Key(Qt::Key_F6);
    ASSERT_EQ(Focus(), window->Sheets());
    Sheet* sheet = window->Sheets()->CurrentSheet();
    ASSERT_TRUE(sheet->SelectCell(CellAddress{CT_Mch, CL_Mch_FreqR, 0}));
    Key(Qt::Key_4);
    QTest::keyClicks(Focus(), "47");
    Key(Qt::Key_Return);
    ChannelRecord r(window->Controller().Doc().Working());
    r.Decode(ChannelKindOf(kVariantPmr), 0);
    EXPECT_EQ(r.Value(Field::RxFreq), 447'000'000);

    // Edit > Undo from the keyboard takes it back.
    Key(Qt::Key_E, Qt::AltModifier);
    Key(Qt::Key_U);
    r.Reload();
    EXPECT_EQ(r.Value(Field::RxFreq), 446'006'250);

    // Help > About opens, Escape closes it.
    WithModal([&] {
        Key(Qt::Key_H, Qt::AltModifier);
        Key(Qt::Key_A);
    }, [&](QWidget* about) { QTest::keyClick(about, Qt::Key_Escape); });
}

// A keyboard move in the tree waits for the selection to rest before its
// sheet opens; a refresh of the tree meanwhile (opening a branch) does not
// put the cursor back on the node shown.
TEST_F(KeyboardTest, ARefreshDoesNotUndoAKeyboardMoveInTheTree) {
    Open(kVariantPmr);
    Activate();
    qt::NavigationTree* tree = window->TreeView();
    tree->SetChangeDelay(60'000);
    tree->setFocus();
    Key(Qt::Key_Down);
    QTreeWidgetItem* moved = tree->currentItem();
    ASSERT_NE(moved, tree->topLevelItem(0));
    window->Controller().CheckWarnings();
    EXPECT_EQ(tree->currentItem(), moved);
}

}  // namespace
}  // namespace parlo
