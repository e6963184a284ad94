// Help from the main window: the manual opens in the program's own window,
// F1 on a sheet at that sheet's topic, Help > Contents at the top.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>

#include "cells/CellNames.h"
#include "gui/HelpWindow.h"
#include "gui/NavigationTree.h"
#include "gui/SheetWidget.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

using HelpFromWindow = test::MainWindowFixture;

// The heading the help window's view starts at.
QString TopHeading(QTextBrowser* browser) {
    const QTextCursor at = browser->cursorForPosition(QPoint(4, 4));
    return at.block().text();
}

TEST_F(HelpFromWindow, F1OpensTheManualAtTheTopicOfTheSheet) {
    Open(kVariantLmr);
    const struct {
        const char* action;
        const char* anchor;
        const char* heading;
    } cases[] = {
        {"[St_ChBank]GI_Sheet_Mch_LMR,Bank 1", "context-220", "Channel pages (Bank 1 to Bank 5)"},
        {"[St_Common]GI_Sheet_2Tone", "context-800", "2-tone codes (LMR)"},
        {"[St_Common]GI_Sheet_ScanComm", "context-610", "Scan settings"},
    };
    for (const auto& c : cases) {
        Select(c.action);
        window->Sheets()->setFocus();
        QTest::keyClick(window->Sheets(), Qt::Key_F1);
        ASSERT_NE(window->Help(), nullptr);
        QTextBrowser* browser = window->Help()->Browser();
        EXPECT_TRUE(window->Help()->isVisible());
        EXPECT_EQ(browser->source().fragment(), c.anchor);
        EXPECT_TRUE(browser->toPlainText().contains(c.heading));
        EXPECT_GT(browser->verticalScrollBar()->value(), 0) << c.action;
        EXPECT_EQ(TopHeading(browser), c.heading) << c.action;
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(HelpFromWindow, F1OnTheTreeAndHelpContents) {
    Open(kVariantPmr);
    Select("[St_Common]GI_Sheet_UTone");
    window->TreeView()->setFocus();
    QTest::keyClick(window->TreeView(), Qt::Key_F1);
    ASSERT_NE(window->Help(), nullptr);
    EXPECT_EQ(window->Help()->Browser()->source().fragment(), "context-710");

    window->Controller().RunCommand(CL_Help_Contents, 0, CellContext{});
    EXPECT_TRUE(window->Help()->Browser()->source().fragment().isEmpty());
    EXPECT_EQ(window->Help()->Browser()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(window->Help()->windowTitle(), "Parlo MV7105C - manual");
}

TEST_F(HelpFromWindow, AMissingManualIsReported) {
    Open(kVariantPmr);
    window->OpenHelp("/nonexistent/Parlo.html", 220);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "The manual '/nonexistent/Parlo.html' cannot be found.");
}

}  // namespace
}  // namespace parlo
