// What a screen reader gets from the windows: the sheet grid as a table of
// the texts it shows, with its headings; focus, selection and changed texts
// announced; tree nodes that say their marks. (The AT-SPI test reads the
// same from outside.)
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include "gui/NavigationTree.h"
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
    EXPECT_TRUE(Text(iface, QAccessible::Description).startsWith("To add a channel"));

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
    QTest::keyClicks(QApplication::focusWidget(), "46.1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Text(table->cellAt(1, receive)), "446.100000");

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

}  // namespace
}  // namespace parlo
