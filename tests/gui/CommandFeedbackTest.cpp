// What the window says about commands, as a newcomer meets it: a refused
// import or paste leaves the document unmodified; the status bar's message
// lasts until the next key or selection, and printing says what went where;
// the file dialogs are titled for what they do; the compare window keeps
// clear of the cell it opens and explains its byte lines.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QStatusBar>

#include "clone/CloneFileOps.h"
#include "gui/DifferencesWindow.h"
#include "gui/PrintingDialog.h"
#include "model/ModelVariant.h"
#include "tests/gui/SheetUserFixture.h"
#include "tests/support/Process.h"

namespace parlo {
namespace {

constexpr const char* kPmrBank1 = "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0";

class CommandFeedbackTest : public test::SheetUserFixture {
protected:
    test::TempDir dir;

    // The status bar's message (not the port panel).
    std::string Status() {
        QLabel* first = window->statusBar()->findChild<QLabel*>();
        return first != nullptr ? first->text().toStdString() : std::string();
    }
    bool Modified() {
        return window->windowTitle().startsWith("*") || window->Controller().Doc().IsModified();
    }
};

// "nothing changed" holds for the title too: closing asks nothing.
TEST_F(CommandFeedbackTest, ARefusedImportOrPasteLeavesTheDocumentUnmodified) {
    Open(kVariantPmr, kPmrBank1);
    const EepromImage before = Image();
    const std::string csv = dir.file("bad.csv");
    test::WriteFile(csv, "Bank,Position,Receive,Name\r\n1,1,446.1,NEW\r\n1,2,nonsense,X\r\n");
    EXPECT_FALSE(window->Controller().ImportChannelsFrom(csv));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("nothing changed"), std::string::npos);
    EXPECT_TRUE(test::SameImage(Image(), before));
    EXPECT_FALSE(Modified()) << window->windowTitle().toStdString();

    // A pasted text with a refused value.
    QApplication::clipboard()->setText("446.1\tNEW\nnonsense\tX\n");
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, At({CT_Mch, CL_Mch_FreqR, 0}));
    QTest::keyClick(&Grid(), Qt::Key_V, Qt::ControlModifier);
    Settle();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(test::SameImage(Image(), before));
    EXPECT_FALSE(Modified()) << window->windowTitle().toStdString();

    // An import that is taken marks it.
    test::WriteFile(csv, "Bank,Position,Name\r\n1,1,NEW\r\n");
    EXPECT_TRUE(window->Controller().ImportChannelsFrom(csv));
    EXPECT_TRUE(window->windowTitle().startsWith("*"));
}

// The last command's message stays until the next key or selection on a
// sheet; printing says what it printed and where to.
TEST_F(CommandFeedbackTest, TheStatusBarKeepsAMessageUntilTheNextKeyAndTellsWhatWasPrinted) {
    Open(kVariantPmr, kPmrBank1);
    const std::string file = dir.file("saved.icf");
    ASSERT_TRUE(window->Controller().Save(file));
    EXPECT_EQ(Status(), "Saved " + file + ".");
    Settle();
    EXPECT_EQ(Status(), "Saved " + file + ".");
    QTest::keyClick(&Grid(), Qt::Key_Down);
    Settle();
    EXPECT_EQ(Status(), "");

    ASSERT_TRUE(window->Controller().Open(file));
    Select(kPmrBank1);
    Settle();
    EXPECT_EQ(Status(), "Opened " + file + ".");
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, At({CT_Mch, CL_Mch_FreqR, 3}));
    Settle();
    EXPECT_EQ(Status(), "");

    const std::string pdf = dir.file("bank.pdf");
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf));
    QPointer<qt::PrintingDialog> printing = window->StartPrinting(std::move(printer), false);
    ASSERT_TRUE(test::WaitUntil([&] { return printing.isNull(); }, 10000));
    EXPECT_EQ(Status().rfind("Printed Bank 1 PMR446 (", 0), 0u) << Status();
    EXPECT_NE(Status().find("pages) to the PDF file " + pdf + "."), std::string::npos) << Status();
    EXPECT_EQ(test::ReadFile(pdf).substr(0, 4), "%PDF");
}

// Each file dialog says what it is for.
TEST_F(CommandFeedbackTest, TheFileDialogsAreTitledForWhatTheyDo) {
    Open(kVariantPmr, kPmrBank1);
    const struct {
        int command;
        const char* title;
    } cases[] = {
        {CL_Menu_File_Compare, "Compare with a clone file"},
        {CL_Menu_File_ImportChannels, "Import channels from a CSV file or workbook"},
        {CL_Menu_File_ExportChannels, "Export channels to a CSV file or workbook"},
    };
    for (const auto& c : cases) {
        WithModal([&] { window->Controller().RunCommand(c.command, 0, CellContext{}); },
                  [&](QWidget* modal) {
                      EXPECT_NE(qobject_cast<QFileDialog*>(modal), nullptr);
                      EXPECT_EQ(modal->windowTitle().toStdString(), c.title);
                      qobject_cast<QDialog*>(modal)->reject();
                  });
    }
}

// The compare window moves off the cell a line opens, and says what its
// byte lines are.
TEST_F(CommandFeedbackTest, TheCompareWindowKeepsClearOfTheCellAndExplainsItsBytes) {
    Open(kVariantPmr, "[St_Common]GI_Sheet_Comm");
    window->move(0, 0);
    const std::string changed = dir.file("changed.icf");
    const auto set = test::RunCli(
        {"set", test::DataFile("MV7105C_PMR.icf"), "CT_Mch.CL_Mch_FreqR[2]=446.1", "-o", changed});
    ASSERT_EQ(set.status, 0) << set.err;
    EepromImage file;
    ASSERT_EQ(OpenCloneFile(changed, Image(), &file).code, kFileOk);
    file.SetByte(0x7D7F, 0x01);  // a byte no cell shows
    ASSERT_EQ(SaveCloneFile(changed, file).code, kFileOk);

    ASSERT_TRUE(window->Controller().CompareWith(changed).has_value());
    QPointer<qt::DifferencesWindow> shown = window->Differences();
    ASSERT_NE(shown, nullptr);
    QListWidget* list = shown->List();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text().toStdString(),
              "Bank 1 PMR446 / 1- 3 / Frequency Receive MHz: '446.031250' -> '446.100000'");
    // A heading before the bytes, which cannot be chosen.
    EXPECT_EQ(list->item(1)->text().toStdString(),
              "Bytes no page shows, by address: in this document -> in changed.icf "
              "(hexadecimal)");
    EXPECT_FALSE(list->item(1)->flags() & Qt::ItemIsSelectable);
    EXPECT_EQ(list->item(2)->text().toStdString(), "7D7F: 00 -> 01");

    // The window stands where the cell will be; Enter on the line moves it
    // off the cell.
    const QPoint sheetMiddle = Grid().mapToGlobal(Grid().rect().center());
    shown->move(sheetMiddle - QPoint(shown->width() / 2, shown->height() / 2));
    list->setCurrentRow(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    Settle();
    ASSERT_EQ(window->Controller().SheetAction(), kPmrBank1);
    const QRect cell = Grid().GlobalCellRect(Current().Col(), Current().Row());
    ASSERT_FALSE(cell.isEmpty());
    EXPECT_FALSE(shown->frameGeometry().intersects(cell));
    // Enter on the heading goes nowhere.
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(window->Controller().SheetAction(), kPmrBank1);
}

}  // namespace
}  // namespace parlo
