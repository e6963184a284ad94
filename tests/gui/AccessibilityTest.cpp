// What a screen reader gets from the windows: the sheet grid as a table of
// the texts it shows, with its headings; focus, selection and changed texts
// announced; tree nodes that say their marks. (The AT-SPI test reads the
// same from outside.)
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "gui/BitFieldEditor.h"
#include "gui/CloneProgressWindow.h"
#include "gui/NavigationTree.h"
#include "gui/PickWindow.h"
#include "gui/TextEntryWindow.h"
#include "gui/SheetWidget.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

// Qt hands accessibility events on only while a reader listens, which the
// offscreen platform never has: the AT-SPI test sees them from outside.
class AccessibilityTest : public test::MainWindowFixture {
protected:
    QAccessibleInterface* Table() {
        return QAccessible::queryAccessibleInterface(window->Sheets());
    }
    QString Text(QAccessibleInterface* iface, QAccessible::Text t = QAccessible::Name) {
        return iface != nullptr ? iface->text(t) : QString("(none)");
    }
    // The table column whose heading reads `heading`.
    int Column(const QString& heading) {
        QAccessibleTableInterface* table = Table()->tableInterface();
        for (int c = 0; c < table->columnCount(); ++c)
            if (table->columnDescription(c) == heading) return c;
        return -1;
    }
};

TEST_F(AccessibilityTest, ABankPageReadsAsATableOfWhatItShows) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    QAccessibleInterface* iface = Table();
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Text(iface).toStdString(), "Bank 1: PMR446 (Left CH - 56)");
    // The hint on adding channels, as the page shows it (bank 1 takes all
    // 64 slots in the factory layout).
    EXPECT_TRUE(Text(iface, QAccessible::Description).startsWith("All 64 slots belong to banks"))
        << Text(iface, QAccessible::Description).toStdString();

    // The notes are the description; the first row is channel 1.
    const int receive = Column("Receive");
    ASSERT_GE(receive, 0);
    EXPECT_EQ(table->columnDescription(0), "No.");
    EXPECT_EQ(table->rowDescription(0), "1- 1");
    EXPECT_EQ(Text(table->cellAt(0, receive)), "446.006250");
    EXPECT_EQ(Text(table->cellAt(1, receive)), "446.018750");
    // Display characters read as the text they show.
    EXPECT_EQ(Text(table->cellAt(0, Column("Name"))), "PMR 1");
    // Its headers, and what the other heading rows say over the column.
    QAccessibleTableCellInterface* cell = table->cellAt(0, receive)->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(Text(cell->columnHeaderCells().front()), "Receive");
    EXPECT_EQ(cell->columnHeaderCells().front()->role(), QAccessible::ColumnHeader);
    ASSERT_EQ(cell->rowHeaderCells().size(), 1);
    EXPECT_EQ(Text(cell->rowHeaderCells().front()), "1- 1");
    EXPECT_EQ(Text(table->cellAt(0, receive), QAccessible::Description), "Frequency, MHz");
    EXPECT_EQ(cell->rowIndex(), 0);
    EXPECT_EQ(cell->columnIndex(), receive);
    // A child of the table, found again by its index.
    const int index = iface->indexOfChild(table->cellAt(0, receive));
    ASSERT_GE(index, 0);
    EXPECT_EQ(iface->child(index), table->cellAt(0, receive));
    EXPECT_EQ(iface->child(index)->parent(), iface);
}

TEST_F(AccessibilityTest, ASettingsPageNamesItsValuesByTheirRows) {
    Open(kVariantPmr);
    Select("[St_Common]GI_Sheet_Comm");
    QAccessibleTableInterface* table = Table()->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnDescription(1), "Value");
    // The first row that holds a value is the table's first row; the
    // section heading above it reads as a note.
    EXPECT_EQ(table->rowDescription(0), "User password (4 digits)");
    EXPECT_EQ(Text(table->cellAt(0, 1)), "0000");
    EXPECT_EQ(Text(Table(), QAccessible::Description), "Passwords and access");
}

TEST_F(AccessibilityTest, TheCurrentCellIsTheFocusAndReadsItsNewText) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    qt::SheetWidget* sheets = window->Sheets();
    Sheet* sheet = sheets->CurrentSheet();
    ASSERT_TRUE(sheet->SelectCell(CellAddress{CT_Mch, CL_Mch_FreqR, 0}));
    sheets->setFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return sheets->hasFocus(); }));
    QAccessibleTableInterface* table = Table()->tableInterface();
    const int receive = Column("Receive");
    EXPECT_TRUE(table->cellAt(0, receive)->state().focused);
    EXPECT_EQ(Table()->focusChild(), table->cellAt(0, receive));

    QTest::keyClick(sheets, Qt::Key_Down);
    EXPECT_TRUE(table->cellAt(1, receive)->state().focused);
    EXPECT_FALSE(table->cellAt(0, receive)->state().focused);
    EXPECT_TRUE(table->cellAt(1, receive)->state().selected);
    EXPECT_EQ(Table()->focusChild(), table->cellAt(1, receive));

    QTest::keyClick(sheets, '4');  // opens the in-place editor
    QTest::keyClicks(QApplication::focusWidget(), "47");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Text(table->cellAt(1, receive)), "447.000000");

    // Another page: the cells of the old one are gone with it.
    QAccessibleInterface* old = table->cellAt(1, receive);
    const QAccessible::Id id = QAccessible::uniqueId(old);
    Select("[St_Common]GI_Sheet_Comm");
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    EXPECT_EQ(Text(Table()).toStdString(), "Common settings");
}

TEST_F(AccessibilityTest, TreeNodesSayTheMarksTheirIconsShow) {
    Open(kVariantTarnPmr);
    // Bank 1: one channel with an error, two with only a warning.
    EepromImage& image = window->Controller().Doc().Working();
    ChannelRecord r(image);
    const struct {
        int slot;
        int32_t monitor, select;
    } marked[] = {{0, 0, 1}, {1, 6, 0}, {2, 0, 1}};
    for (const auto& m : marked) {
        r.Decode(ChannelKindOf(kVariantTarnPmr), m.slot);
        r.SetValue(Field::MskSig, 1);
        r.SetValue(Field::Moni, m.monitor);
        r.SetValue(Field::ChMute, 1);
        r.SetValue(Field::Sel, m.select);
        r.SetValue(Field::Call, 0);
        r.SetValue(Field::Ptt, 0);
        r.Store();
    }
    window->Controller().Doc().RebuildModelData();
    window->Controller().CheckWarnings();
    QTreeWidgetItem* bank = nullptr;
    QTreeWidgetItem* clean = nullptr;
    std::function<void(QTreeWidgetItem*)> find = [&](QTreeWidgetItem* item) {
        if (item->text(0).startsWith("Bank 1")) bank = item;
        if (item->text(0).startsWith("Bank 2")) clean = item;
        for (int i = 0; i < item->childCount(); ++i) find(item->child(i));
    };
    for (int i = 0; i < window->TreeView()->topLevelItemCount(); ++i)
        find(window->TreeView()->topLevelItem(i));
    ASSERT_NE(bank, nullptr);
    ASSERT_NE(clean, nullptr);
    EXPECT_EQ(bank->data(0, Qt::AccessibleTextRole).toString(),
              bank->text(0) + ", 1 channel with errors, 2 channels with warnings");
    EXPECT_EQ(clean->data(0, Qt::AccessibleTextRole).toString(), clean->text(0));
}

// The windows a cell opens say which cell they edit and expose their items,
// values and buttons; the progress window's bar is a progress bar.
TEST_F(AccessibilityTest, TheEditorsExposeTheirItemsValuesAndButtons) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    qt::SheetWidget* sheets = window->Sheets();
    auto openOn = [&](const CellAddress& cell, int key) {
        EXPECT_TRUE(sheets->CurrentSheet()->SelectCell(cell));
        sheets->setFocus();
        QTest::keyClick(sheets, static_cast<Qt::Key>(key));
        return QApplication::activePopupWidget();
    };

    // A choice list: its items are the cells of a table.
    auto* pick = qobject_cast<qt::PickWindow*>(openOn({CT_Mch, CL_Mch_RfPo, 0}, Qt::Key_Return));
    ASSERT_NE(pick, nullptr);
    EXPECT_EQ(pick->accessibleName(), "Power, 1- 1");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(pick->View());
    EXPECT_EQ(Text(list), "Power, 1- 1");
    QStringList items;
    for (int i = 0; i < list->childCount(); ++i) items << Text(list->child(i));
    EXPECT_TRUE(items.contains("High")) << items.join("|").toStdString();
    EXPECT_TRUE(list->focusChild() == nullptr || list->focusChild()->state().focused);
    QTest::keyClick(pick->View(), Qt::Key_Escape);
    QApplication::processEvents();

    // The bit-field editor: tick boxes with their state, and its buttons.
    auto* bits = qobject_cast<qt::BitFieldEditor*>(openOn({CT_Mch, CL_Mch_Scan, 0}, Qt::Key_Return));
    ASSERT_NE(bits, nullptr);
    QAccessibleTableInterface* boxes =
        QAccessible::queryAccessibleInterface(bits->View())->tableInterface();
    ASSERT_NE(boxes, nullptr);
    int ticks = 0, checked = 0;
    for (int c = 0; c < boxes->columnCount(); ++c) {
        QAccessibleInterface* box = boxes->cellAt(0, c);
        if (box == nullptr || box->role() != QAccessible::CheckBox) continue;
        ++ticks;
        checked += box->state().checked ? 1 : 0;
        EXPECT_TRUE(box->state().checkable);
    }
    EXPECT_EQ(ticks, 11);  // scan lists 1-9, 0 and Z
    const int before = checked;
    bits->View()->GoToCell(bits->View()->CurrentSheet()->Col(), bits->View()->CurrentSheet()->Row());
    QTest::keyClick(bits->View(), Qt::Key_Space);
    checked = 0;
    for (int c = 0; c < boxes->columnCount(); ++c) {
        QAccessibleInterface* box = boxes->cellAt(0, c);
        if (box != nullptr && box->role() == QAccessible::CheckBox && box->state().checked)
            ++checked;
    }
    EXPECT_EQ(std::abs(checked - before), 1);
    EXPECT_EQ(Text(QAccessible::queryAccessibleInterface(bits->OkButton())),
              bits->OkButton()->text().remove('&'));
    QTest::keyClick(bits->View(), Qt::Key_Escape);
    QApplication::processEvents();

    // The text entry window: its box named for the cell, the preview saying
    // what it shows.
    auto* entry = qobject_cast<qt::TextEntryWindow*>(openOn({CT_Mch, CL_Mch_Text, 0}, Qt::Key_Return));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->TextBox()->accessibleName(), "Name, 1- 1");
    QWidget* preview = nullptr;
    for (QWidget* w : entry->findChildren<QWidget*>())
        if (w->accessibleName() == "As the radio shows it") preview = w;
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->accessibleDescription(), "PMR 1");
    QAccessibleInterface* characters = QAccessible::queryAccessibleInterface(entry->CharacterTable());
    QStringList shown;
    for (int i = 0; i < characters->childCount(); ++i) shown << Text(characters->child(i));
    EXPECT_TRUE(shown.contains("A"));
    EXPECT_TRUE(shown.contains("user character 1")) << shown.join("|").toStdString();
    QTest::keyClick(entry->TextBox(), Qt::Key_Escape);
    QApplication::processEvents();

    // The progress window's bar.
    qt::CloneProgressWindow progress(window.get());
    auto* bar = progress.findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    QAccessibleInterface* barFace = QAccessible::queryAccessibleInterface(bar);
    EXPECT_EQ(barFace->role(), QAccessible::ProgressBar);
    CloneProgress p;
    p.stage = CloneStage::Read;
    p.done = 16064;
    p.total = 32128;
    progress.UpdateProgress(p);
    ASSERT_NE(barFace->valueInterface(), nullptr);
    EXPECT_EQ(barFace->valueInterface()->currentValue().toInt(), 16);
    EXPECT_EQ(barFace->valueInterface()->maximumValue().toInt(), 32);
}

}  // namespace
}  // namespace parlo
