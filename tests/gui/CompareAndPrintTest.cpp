// File > Compare with... and the PDF that parlo-cli prints without a display,
// against what the desktop program shows and prints.
#include <unistd.h>

#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "gui/DifferencesWindow.h"
#include "gui/StepProgressWindow.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/Process.h"

namespace parlo {
namespace {

class CompareAndPrintTest : public test::MainWindowFixture {
protected:
    test::TempDir dir;

    // parlo-cli with no display at all.
    test::ProcessResult CliWithoutDisplay(std::vector<std::string> args) {
        args.insert(args.begin(), {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                                   "QT_QPA_PLATFORM", PARLO_CLI_PATH});
        return test::RunProcess("/usr/bin/env", args);
    }
    std::string PdfText(const std::string& pdf) {
        const auto r = test::RunProcess("/usr/bin/pdftotext", {"-layout", pdf, "-"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }
};

TEST_F(CompareAndPrintTest, TheCommandLinePrintsWhatTheDesktopPrints) {
    Open(kVariantPmr);
    const std::string file = test::DataFile("MV7105C_PMR.icf");
    const std::string bank = "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0";
    Select(bank);
    for (const bool all : {false, true}) {
        SCOPED_TRACE(all ? "all sheets" : "one sheet");
        const std::string desktop = dir.file(all ? "desktop-all.pdf" : "desktop.pdf");
        const std::string cli = dir.file(all ? "cli-all.pdf" : "cli.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(desktop));
        const int pages = window->PrintTo(printer, all, [] { return false; });
        const auto r = CliWithoutDisplay({"print", file, "-o", cli, all ? "--all" : bank});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string text = PdfText(cli);
        EXPECT_EQ(text, PdfText(desktop));
        // A page is a form feed in pdftotext's output.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), pages);
        EXPECT_NE(text.find("Memory channels, bank 1: PMR446"), std::string::npos);
        EXPECT_NE(text.find("Parlo MV7105C, map revision 6"), std::string::npos);
        EXPECT_NE(text.find("446.006250"), std::string::npos);
        EXPECT_NE(text.find("Printed with Parlo"), std::string::npos);
        if (all) {
            EXPECT_NE(text.find("Common settings"), std::string::npos);
        }
    }
    // Without an action: the sheet of the tree's first node.
    const auto first = CliWithoutDisplay({"print", file, "-o", dir.file("first.pdf")});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string top = window->Controller().Tree()->Root().children.front()->Action();
    Select(top);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("top.pdf")));
    window->PrintTo(printer, false, [] { return false; });
    EXPECT_EQ(PdfText(dir.file("first.pdf")), PdfText(dir.file("top.pdf")));
}

TEST_F(CompareAndPrintTest, PrintRefusesWhatItCannotDo) {
    const std::string file = test::DataFile("MV7105C_PMR.icf");
    struct Case {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"print", file}, 64},
        {{"print", file, "-o", dir.file("x.pdf"), "--all", "[St_Common]GI_Sheet_Comm"}, 64},
        {{"print", file, "-o", dir.file("x.pdf"), "[St_Common]GI_No_Such_Sheet"}, 64},
        {{"print", file, "-o", dir.file("no/such/folder/x.pdf")}, 73},
        {{"print", dir.file("missing.icf"), "-o", dir.file("x.pdf")}, 1},
    };
    for (const Case& c : cases) {
        const auto r = CliWithoutDisplay(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.pdf")));
}

// The PDF is saved whole by the safe writer or not at all: an earlier file
// stays as it was, the exit status is 73 and the message says why, in the
// program's words only.
TEST_F(CompareAndPrintTest, APdfThatCannotBeWrittenCompletelyFailsAndKeepsTheEarlierOne) {
    const std::string file = test::DataFile("MV7105C_PMR.icf");
    const std::string earlier = dir.file("earlier.pdf");
    test::WriteFile(earlier, "an earlier printout");
    struct Case {
        const char* name;
        std::vector<std::string> command;
        std::string out;
        const char* why;
    };
    const std::string cli = PARLO_CLI_PATH;
    const Case cases[] = {
        {"a full device", {cli}, "/dev/full", "The disk is full."},
        {"a file-size limit",
         {"/bin/sh", "-c", "ulimit -f 20; exec \"$0\" \"$@\"", cli},
         earlier,
         "The file is larger than this process may write.\nAny earlier file of that name has "
         "been kept unchanged."},
        {"a missing folder", {cli}, dir.file("no/such/folder/x.pdf"), "Its folder does not exist."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args(c.command.begin() + 1, c.command.end());
        for (const std::string& a :
             {std::string("print"), file, std::string("--all"), std::string("-o"), c.out})
            args.push_back(a);
        const auto r = test::RunProcess(c.command[0], args);
        EXPECT_EQ(r.status, 73) << c.name;
        EXPECT_EQ(r.err, "parlo-cli print: cannot write '" + c.out + "': " + c.why + "\n")
            << c.name;
        EXPECT_EQ(test::ReadFile(earlier), "an earlier printout") << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);

    // "-" is standard output.
    const auto piped = test::RunCli({"print", file, "-o", "-"});
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.err, "");
    EXPECT_EQ(piped.out.substr(0, 5), "%PDF-");
    EXPECT_EQ(piped.out.substr(piped.out.size() - 6), "%%EOF\n");
}

// A real full disk: a small file system of this process's own (as root).
TEST_F(CompareAndPrintTest, APdfForAFullDiskFailsAndKeepsTheEarlierOne) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small file system";
    const std::string disk = dir.file("disk");
    std::filesystem::create_directory(disk);
    const std::string script =
        "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99\n"
        "printf 'an earlier printout' > \"$1/earlier.pdf\"\n"
        "head -c 40000 /dev/zero > \"$1/filler\"\n"
        "\"$2\" print \"$3\" --all -o \"$1/earlier.pdf\"; status=$?\n"
        "echo; cat \"$1/earlier.pdf\"; echo; ls \"$1\"; exit $status\n";
    const auto r = test::RunProcess(
        "/usr/bin/unshare", {"--mount", "--propagation", "private", "/bin/sh", "-c", script, "sh",
                             disk, PARLO_CLI_PATH, test::DataFile("MV7105C_PMR.icf")});
    if (r.status == 99) GTEST_SKIP() << "cannot mount here: " << r.err;
    EXPECT_EQ(r.status, 73) << r.err;
    EXPECT_EQ(r.err, "parlo-cli print: cannot write '" + disk +
                         "/earlier.pdf': The disk is full.\nAny earlier file of that name has "
                         "been kept unchanged.\n");
    EXPECT_EQ(r.out, "\nan earlier printout\nearlier.pdf\nfiller\n");
}

TEST_F(CompareAndPrintTest, CompareListsTheDifferencesAndOpensTheirCells) {
    Open(kVariantPmr);
    const std::string changed = dir.file("changed.icf");
    const auto set = test::RunCli(
        {"set", test::DataFile("MV7105C_PMR.icf"), "CT_Mch.CL_Mch_FreqR[2]=446.1", "-o", changed});
    ASSERT_EQ(set.status, 0) << set.err;
    EepromImage before;
    before.Assign(window->Controller().Doc().Working());

    // Another variant's file on the way changes nothing of the document.
    const auto other = window->Controller().CompareWith(test::DataFile("MV7105C_LMR.icf"));
    ASSERT_TRUE(other.has_value());
    EXPECT_FALSE(other->Empty());
    EXPECT_EQ(window->Controller().Doc().Variant(), kVariantPmr);
    EXPECT_TRUE(window->Controller().Doc().Working().Equals(before));
    EXPECT_FALSE(window->Controller().Doc().IsModified());

    const auto found = window->Controller().CompareWith(changed);
    ASSERT_TRUE(found.has_value());
    QPointer<qt::DifferencesWindow> shown = window->Differences();
    ASSERT_NE(shown, nullptr);
    QListWidget* list = shown->List();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text().toStdString(),
              "Bank 1 PMR446 / 1- 3 / Frequency Receive MHz: '446.031250' -> '446.100000'");

    // Enter on the line (as a double click) opens the bank at that cell.
    Select("[St_Common]GI_Sheet_Comm");
    list->setCurrentRow(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(window->Controller().SheetAction(), "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    Sheet* sheet = window->Controller().CurrentSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Col(), found->cells[0].col);
    EXPECT_EQ(sheet->Row(), found->cells[0].row);
    EXPECT_EQ(sheet->CellText(sheet->Col(), sheet->Row()), "446.031250");
    ASSERT_FALSE(shown.isNull()) << "Enter closed the window";

    // A refused file shows its message and no window.
    test::WriteFile(dir.file("bad.icf"), "not a clone file\n");
    shown->close();
    QApplication::processEvents();
    EXPECT_FALSE(window->Controller().CompareWith(dir.file("bad.icf")).has_value());
    EXPECT_EQ(window->Differences(), nullptr);
}

// The comparison runs a step at a time on the event loop: timers fire
// meanwhile, a progress window shows how far it is, and Cancel stops it
// with no differences window and the document as it was.
TEST_F(CompareAndPrintTest, CompareKeepsTheWindowLiveAndCancelStopsIt) {
    Open(kVariantPmr);
    EepromImage before;
    before.Assign(window->Controller().Doc().Working());
    const std::string other = test::DataFile("MV7105C_LMR.icf");

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    bool shown = false;
    int barAtCancel = -1;
    QTimer::singleShot(0, [&] {
        qt::StepProgressWindow* progress = window->StepProgress();
        if (progress == nullptr) return;
        shown = progress->isVisible();
        barAtCancel = progress->Bar()->value();
        progress->CancelButton()->click();
    });
    ticker.start();
    EXPECT_FALSE(window->Controller().CompareWith(other).has_value());
    EXPECT_TRUE(shown);
    EXPECT_GE(barAtCancel, 0);
    EXPECT_LT(barAtCancel, 1000);
    EXPECT_EQ(window->StepProgress(), nullptr);
    EXPECT_EQ(window->Differences(), nullptr);
    EXPECT_TRUE(window->Controller().Doc().Working().Equals(before));
    EXPECT_FALSE(window->Controller().Doc().IsModified());

    // Run to its end, the timer fires between the steps and the window
    // lists what the command line lists.
    ticks = 0;
    const auto found = window->Controller().CompareWith(other);
    ticker.stop();
    ASSERT_TRUE(found.has_value());
    EXPECT_GT(ticks, 1);
    ASSERT_NE(window->Differences(), nullptr);
    QListWidget* list = window->Differences()->List();
    std::vector<std::string> shownLines;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->flags() & Qt::ItemIsSelectable)
            shownLines.push_back(list->item(i)->text().toStdString());
    }
    EXPECT_EQ(shownLines, found->Lines());
    EXPECT_TRUE(window->Controller().Doc().Working().Equals(before));
}

}  // namespace
}  // namespace parlo
