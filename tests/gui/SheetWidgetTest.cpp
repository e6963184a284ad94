// The grid widget's own details on a small fixture sheet: keys that reach
// the cells, the in-place editor's place, the drag past the edge, the title.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QScreen>
#include <QTest>
#include <functional>

#include "cells/CellDispatcher.h"
#include "platform/qtgui/QtCanvas.h"
#include "gui/SheetWidget.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

std::vector<std::string> Fixture() {
    std::vector<std::string> lines = {
        "#CellModel_Basic", "<-(Color=clWindow)(Font=,,clWindowText,-13,,,)", "#GI_Sheet_T_Style",
        "(TitleString=Test page)(TitleFont=,,clRed,-20,,fsBold,)(FixedRows=1)",
        "#GI_Sheet_T_BasicCell", "{($Basic)}", "#GI_Sheet_T_Cells", "Head|Top|Bottom",
        // A tall row: a top-aligned and a bottom-aligned cell.
        "{H}1\\n2\\n3\\n4|{S~W(%CL_Mch_FreqR[0])}top|{S_W(%CL_Mch_FreqT[0])}bottom"};
    for (int r = 1; r <= 40; ++r)
        lines.push_back(std::to_string(r) + "|{S(%CL_Mch_FreqR[" + std::to_string(r) +
                        "])}x|{S(%CL_Mch_FreqT[" + std::to_string(r) + "])}y");
    lines.insert(lines.end(), {"#", "#End_Of_Ovl"});
    return lines;
}

class SheetWidgetTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{Fixture()};
    qt::QtScheduler scheduler;
    Scheduler* previousScheduler = SetScheduler(&scheduler);
    EventManager events;
    DocumentData doc;
    CellDispatcher cells{{doc, events}};
    std::vector<int> operations;
    std::unique_ptr<Sheet> sheet;
    std::unique_ptr<qt::SheetWidget> view;

    SheetWidgetTest() {
        Sheet::Params p;
        p.key = "GI_Sheet_T";
        sheet = std::make_unique<Sheet>(p, cells.Scope(), [this](CellContext& c, int mode) {
            if (mode == kModeDraw) return 0;
            operations.push_back(c.operation);
            if (c.operation == 13) c.request.OpenEditor("446.1");
            return 0;
        });
        qt::MeasuringCanvas measure;
        sheet->Build(measure);
        view = std::make_unique<qt::SheetWidget>(cells);
        view->resize(300, 200);
        view->SetSheet(sheet.get());
        view->show();
        QApplication::processEvents();
    }
    ~SheetWidgetTest() override {
        view.reset();
        SetScheduler(previousScheduler);
    }
};

TEST_F(SheetWidgetTest, EscapeAndTabReachTheCellsAsCharacters) {
    view->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QTest::keyClick(view.get(), Qt::Key_Escape);
    QTest::keyClick(view.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(operations, (std::vector<int>{9, 27, 9}));
    EXPECT_TRUE(view->hasFocus());  // Tab did not move the focus on
}

TEST_F(SheetWidgetTest, TheInPlaceEditorStandsAsTheCellPlacesItsText) {
    for (int col : {1, 2}) {
        ASSERT_TRUE(view->GoToCell(col, 1));
        view->setFocus();
        QTest::keyClick(view.get(), Qt::Key_Return);
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->isVisible());
        const QRect cell = view->CellRect(col, 1);
        ASSERT_GT(cell.height(), editor->height() * 2);  // the row is tall
        if (col == 1) {
            EXPECT_EQ(editor->geometry().top(), cell.top());
        } else {
            EXPECT_EQ(editor->geometry().bottom(), cell.bottom());
        }
        QTest::keyClick(editor, Qt::Key_Escape);
    }
}

TEST_F(SheetWidgetTest, DraggingPastTheBottomScrollsOnATimer) {
    const QRect start = view->CellRect(1, 2);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start.center());
    QMouseEvent move(
        QEvent::MouseMove, QPointF(start.center().x(), view->viewport()->height() + 20),
        view->viewport()->mapToGlobal(QPointF(start.center().x(), view->viewport()->height() + 20)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    const int row = sheet->Row();
    // Several timed steps, until the grid has scrolled with them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sheet->TopRow() > 1; }, 5000));
    EXPECT_GT(sheet->Row(), row + 2);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, start.center());
    // The release ends the timed steps: nothing moves the cursor after it.
    EXPECT_FALSE(view->DragScrolling());
    const int stopped = sheet->Row();
    QApplication::processEvents();
    EXPECT_EQ(sheet->Row(), stopped);
}

// A key or a click that moves the current cell draws only the cells it
// changed: what the window then shows must be what drawing all of it shows.
TEST_F(SheetWidgetTest, WhatAMoveRepaintsIsWhatAWholeRepaintShows) {
    view->setFocus();
    auto screen = [&] { return view->screen()->grabWindow(view->winId()).toImage(); };
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [=, this] { QTest::keyClick(view.get(), k, m); };
    };
    // A click on the next column of the current row.
    auto click = [this] {
        const QPoint at = view->CellRect(sheet->Col() + 1, sheet->Row()).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"Down", key(Qt::Key_Down)},
        {"Down", key(Qt::Key_Down)},
        {"Right", key(Qt::Key_Right)},
        {"Left", key(Qt::Key_Left)},
        {"Page down (scrolls)", key(Qt::Key_PageDown)},
        {"Up", key(Qt::Key_Up)},
        {"Shift+Up", key(Qt::Key_Up, Qt::ShiftModifier)},
        {"a click", click},
    };
    QApplication::processEvents();
    for (const auto& [what, act] : steps) {
        const QImage before = screen();
        act();
        QApplication::processEvents();
        const QImage shown = screen();
        EXPECT_NE(shown, before) << what << ": the cursor was not drawn anew";
        view->viewport()->repaint();
        EXPECT_EQ(shown, screen()) << what;
    }
}

TEST_F(SheetWidgetTest, TheTitleUsesTheTitleFont) {
    QSignalSpy spy(view.get(), &qt::SheetWidget::TitleTextChanged);
    view->SetSheet(sheet.get());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "Test page");
    const QFont font = spy.at(0).at(2).value<QFont>();
    EXPECT_EQ(font.pixelSize(), 20);
    EXPECT_TRUE(font.bold());
}

}  // namespace
}  // namespace parlo
