// Where the manual opens and the keys that close it and the EEPROM window.
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>

#include "gui/EepromWindow.h"
#include "gui/HelpWindow.h"
#include "gui/NavigationTree.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

class WindowKeysTest : public test::MainWindowFixture {
protected:
    WindowKeysTest() { Open(kVariantPmr); }
};

TEST(HelpPlacement, BesideTheMainWindowElseOverItsPageNeverOffTheScreen) {
    const QRect screen(0, 0, 1600, 1000);
    const QSize help(640, 720);
    const struct {
        QRect owner;
        QRect expected;
    } cases[] = {
        // Room on the right: beside it there, level with its top.
        {QRect(0, 40, 800, 600), QRect(808, 40, 640, 720)},
        // Room on the left only.
        {QRect(900, 40, 700, 600), QRect(252, 40, 640, 720)},
        // No room either side: over the window's right-hand part (its
        // page), not over the tree at its left.
        {QRect(100, 0, 1300, 900), QRect(760, 0, 640, 720)},
        // Low on the screen: moved up to stay on it.
        {QRect(0, 600, 800, 400), QRect(808, 280, 640, 720)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qt::HelpWindow::PlaceBeside(c.owner, screen, help), c.expected) << c.owner.x();
    // A screen smaller than the manual: the whole screen.
    EXPECT_EQ(qt::HelpWindow::PlaceBeside(QRect(0, 0, 500, 400), QRect(0, 0, 600, 500), help),
              QRect(0, 0, 600, 500));
}

TEST_F(WindowKeysTest, TheManualOpensBesideTheWindowAndClosesWithEscapeOrCtrlW) {
    Select("[St_Common]GI_Sheet_UTone");
    for (const QKeyCombination key :
         {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        window->Sheets()->setFocus();
        QTest::keyClick(window->Sheets(), Qt::Key_F1);
        qt::HelpWindow* help = window->Help();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(help->isVisible());
        const QRect area = window->screen()->availableGeometry();
        EXPECT_EQ(QRect(help->frameGeometry().topLeft(), help->size()),
                  qt::HelpWindow::PlaceBeside(window->frameGeometry(), area, help->size()));
        help->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help->Browser(), key.key(), key.keyboardModifiers());
        EXPECT_TRUE(test::WaitUntil([&] { return !help->isVisible(); }));
    }
}

TEST_F(WindowKeysTest, EscapeClosesTheEepromWindow) {
    qt::MeasuringCanvas measure;
    QPointer<qt::EepromWindow> eeprom =
        new qt::EepromWindow(window.get(), window->Controller().Cells(), measure, 100);
    eeprom->show();
    eeprom->View()->setFocus();
    QTest::keyClick(eeprom->View(), Qt::Key_Escape);
    EXPECT_TRUE(test::WaitUntil([&] { return eeprom.isNull(); }));
}

}  // namespace
}  // namespace parlo
