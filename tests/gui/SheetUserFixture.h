#pragma once
// The main window driven as a user drives a sheet: cells found by address
// and scrolled into view with the scroll bars, clicked, typed on.
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <string>

#include "gui/MainWindow.h"
#include "gui/SheetWidget.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/ExpectedImage.h"

namespace parlo::test {

class SheetUserFixture : public MainWindowFixture {
protected:
    void Open(int variant, const std::string& action) {
        MainWindowFixture::Open(variant);
        window->resize(1200, 800);
        Select(action);
        window->activateWindow();
        QApplication::processEvents();
    }
    qt::SheetWidget& Grid() { return *window->Sheets(); }
    Sheet& Current() { return *Grid().CurrentSheet(); }
    EepromImage& Image() { return window->Controller().Doc().Working(); }

    // The middle of the first selectable cell with this address, scrolled
    // into view with the scroll bars as a user would.
    QPoint At(const CellAddress& address) {
        for (int r = 0; r < Current().RowCount(); ++r) {
            for (int c = 0; c < Current().ColCount(); ++c) {
                const CellDesc& d = Current().Cell(c, r);
                if (!d.Selectable() || d.category != address.category || d.cell != address.cell ||
                    d.index != address.index)
                    continue;
                if (Grid().CellRect(c, r).isEmpty()) {
                    Grid().verticalScrollBar()->setValue(r);
                    Grid().horizontalScrollBar()->setValue(c);
                }
                return Grid().CellRect(c, r).center();
            }
        }
        ADD_FAILURE() << "no cell " << address.cell << "[" << address.index << "]";
        return {};
    }
    // The text a cell shows (the first with this address).
    std::string CellText(const CellAddress& address) {
        for (int r = 0; r < Current().RowCount(); ++r) {
            for (int c = 0; c < Current().ColCount(); ++c) {
                const CellDesc& d = Current().Cell(c, r);
                if (d.category == address.category && d.cell == address.cell &&
                    d.index == address.index)
                    return Current().CellText(c, r);
            }
        }
        return {};
    }
    // Clicks a cell, then presses keys on the grid.
    void ClickAndType(const CellAddress& address, const QString& keys) {
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, At(address));
        QTest::keyClicks(&Grid(), keys);
    }
    QLineEdit* InPlaceEditor() {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return editor != nullptr && editor->parent() == Grid().viewport() ? editor : nullptr;
    }
    template <class T>
    T* Popup() {
        return qobject_cast<T*>(QApplication::activePopupWidget());
    }
    // Posted events (a channel appended, the title) have been handled.
    void Settle() {
        EXPECT_TRUE(WaitUntil([&] { return Events().QueuedCount() == 0; }));
        QApplication::processEvents();
    }
};

}  // namespace parlo::test
