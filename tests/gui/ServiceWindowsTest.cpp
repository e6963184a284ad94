// The debug windows and printing as the main window runs them: the EEPROM
// window follows the image and moves to a byte, the log collects event 22,
// printing steps through the tree with the window responsive.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <set>

#include "clone/CloneTrace.h"
#include "gui/DebugLogWindow.h"
#include "gui/EepromWindow.h"
#include "gui/MainWindow.h"
#include "gui/PrintingDialog.h"
#include "gui/SheetWidget.h"
#include "model/ModelVariant.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

class ServiceWindowsTest : public test::MainWindowFixture {
protected:
    ServiceWindowsTest() { Open(kVariantPmr); }
};

// Counts the paintings of a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(ServiceWindowsTest, TheEepromWindowMovesToAByteAndNeverShowsStaleBytes) {
    qt::MeasuringCanvas measure;
    auto* eeprom = new qt::EepromWindow(window.get(), window->Controller().Cells(), measure, 100);
    eeprom->show();
    QApplication::processEvents();
    qt::SheetWidget* view = eeprom->View();
    // As wide as the sheet, no horizontal scroll bar; at most half the
    // screen high, scrolling vertically.
    EXPECT_EQ(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_GE(view->viewport()->width(), view->FullSize().width());
    EXPECT_LE(view->height(), eeprom->screen()->geometry().height() / 2 + 4);
    EXPECT_GT(view->FullSize().height(), view->height());

    Events().Send(ev::kGoToByte, {0x21});
    EXPECT_EQ(view->CurrentSheet()->Col(), 5);
    EXPECT_EQ(view->CurrentSheet()->Row(), 5);
    Events().Send(ev::kGoToByte, {0x9000});  // far down: scrolled into view
    const auto [col, row] = qt::EepromWindow::CellOfByte(0x9000);
    EXPECT_EQ(view->CurrentSheet()->Row(), row);
    EXPECT_FALSE(view->CellRect(col, row).isEmpty());

    PaintCounter counter;
    view->viewport()->installEventFilter(&counter);
    QApplication::processEvents();
    counter.paints = 0;
    Events().Post(ev::kWarningsChecked);
    EXPECT_TRUE(test::WaitUntil([&] { return counter.paints > 0; }));
    view->viewport()->removeEventFilter(&counter);
    eeprom->close();
}

TEST_F(ServiceWindowsTest, TheLogWindowCollectsPostedLinesUnwrapped) {
    QWidget small;
    small.resize(500, 100);
    EXPECT_EQ(qt::DebugLogWindow(&small, window->Controller()).height(), 100);  // never less
    auto* log = new qt::DebugLogWindow(window.get(), window->Controller());
    EXPECT_EQ(log->height(), window->height() * 8 / 10);
    EXPECT_TRUE(window->Controller().TracingClones());
    EXPECT_EQ(log->Log()->lineWrapMode(), QPlainTextEdit::NoWrap);
    Events().Post(ev::kDebugText, {"-> E0 identify request, 4 bytes"});
    Events().Post(ev::kDebugText, {std::string(400, 'x')});
    const std::string lines = "-> E0 identify request, 4 bytes\n" + std::string(400, 'x');
    EXPECT_TRUE(test::WaitUntil([&] { return log->Log()->toPlainText().toStdString() == lines; }))
        << log->Log()->toPlainText().toStdString();
    EXPECT_EQ(log->Log()->document()->lineCount(), 2);
    delete log;
    EXPECT_FALSE(window->Controller().TracingClones());
}

// Print-all goes one tree node per tick of the main task: the dialog shows
// each sheet's caption in turn and its button stays usable.
TEST_F(ServiceWindowsTest, PrintAllStepsThroughTheTreeAndCanBeCancelled) {
    test::TempDir dir;
    auto pdf = [&](const std::string& name) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(dir.file(name)));
        return printer;
    };
    qt::PrintingDialog* dialog = window->StartPrinting(pdf("all.pdf"), true);
    QPointer<qt::PrintingDialog> alive(dialog);
    std::set<QString> captions;
    int pages = 0;
    QObject::connect(dialog, &qt::PrintingDialog::PrintingFinished, [&](int n) { pages = n; });
    EXPECT_TRUE(test::WaitUntil(
        [&] {
            if (alive && !dialog->SheetLabel()->text().isEmpty())
                captions.insert(dialog->SheetLabel()->text());
            return !alive || dialog->Finished();
        },
        30000));
    EXPECT_GT(pages, 3);
    EXPECT_GT(captions.size(), 3u);  // the window kept painting between sheets
    EXPECT_EQ(test::ReadFile(dir.file("all.pdf")).substr(0, 4), "%PDF");

    // Cancelled at once: no page, and an earlier file of that name stays.
    test::WriteFile(dir.file("earlier.pdf"), "earlier");
    dialog = window->StartPrinting(pdf("earlier.pdf"), true);
    alive = dialog;
    pages = -1;
    QObject::connect(dialog, &qt::PrintingDialog::PrintingFinished, [&](int n) { pages = n; });
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(test::WaitUntil([&] { return !alive || dialog->Finished(); }, 6000));
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(test::ReadFile(dir.file("earlier.pdf")), "earlier");
}

// A PDF file is saved whole by the safe writer or not at all, and a
// printout that cannot be saved says why.
TEST_F(ServiceWindowsTest, APrintoutThatCannotBeSavedSaysWhyAndKeepsTheEarlierFile) {
    test::TempDir dir;
    const std::string earlier = dir.file("earlier.pdf");
    struct Case {
        std::string path;
        const char* why;
    };
    const Case cases[] = {
        {"/dev/full", "The disk is full."},
        {dir.file("no/folder/x.pdf"), "Its folder does not exist."},
        {earlier, "It is write-protected."},
    };
    test::WriteFile(earlier, "earlier");
    std::filesystem::permissions(earlier, std::filesystem::perms::owner_read);
    for (const Case& c : cases) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(c.path));
        prompts.shown.clear();
        QPointer<qt::PrintingDialog> dialog = window->StartPrinting(std::move(printer), false);
        EXPECT_TRUE(test::WaitUntil([&] { return !dialog || dialog->Finished(); }, 6000));
        ASSERT_EQ(prompts.shown.size(), 1u) << c.path;
        const std::string& text = prompts.shown[0].text;
        EXPECT_EQ(text.rfind("The printout could not be saved to " + c.path + ".\n", 0), 0u)
            << text;
        EXPECT_NE(text.find(c.why), std::string::npos) << text;
    }
    EXPECT_EQ(test::ReadFile(earlier), "earlier");
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

}  // namespace
}  // namespace parlo
