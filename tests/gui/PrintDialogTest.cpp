// The print command's windows: the printer dialog offers the PDF file
// printed to last, and the printing dialog offers no minimise or maximise.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTest>
#include <filesystem>

#include "gui/PrintingDialog.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

class PrintDialogTest : public test::MainWindowFixture {
protected:
    PrintDialogTest() { Open(1); }
    // The output file the printer dialog offers.
    static QLineEdit* OutputFile(QWidget* dialog) {
        return dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    }
};

TEST_F(PrintDialogTest, ThePrinterDialogOffersTheLastPdfFile) {
    test::TempDir dir;
    const std::string first = dir.file("bank one.pdf");
    // First print: Qt's own file name; printed to a file of our own choice.
    // (Whatever is found, the dialog is closed: a failure never waits.)
    WithModal([&] { window->Print(false); },
              [&](QWidget* modal) {
                  QLineEdit* file = OutputFile(modal);
                  EXPECT_NE(qobject_cast<QPrintDialog*>(modal), nullptr);
                  EXPECT_NE(file, nullptr);
                  if (file == nullptr) return static_cast<QDialog*>(modal)->reject();
                  EXPECT_NE(file->text().toStdString(), first);
                  file->setText(QString::fromStdString(first));
                  static_cast<QDialog*>(modal)->accept();
              });
    ASSERT_TRUE(test::WaitUntil([&] { return std::filesystem::exists(first); }, 10000));
    EXPECT_EQ(env.LastPdfFile(), first);
    // Finished, the next print offers that file again.
    ASSERT_TRUE(test::WaitUntil([&] { return QApplication::activeModalWidget() == nullptr; }));
    WithModal([&] { window->Print(true); },
              [&](QWidget* modal) {
                  QLineEdit* file = OutputFile(modal);
                  EXPECT_EQ(file != nullptr ? file->text().toStdString() : "", first);
                  static_cast<QDialog*>(modal)->reject();
              });
}

TEST_F(PrintDialogTest, ThePrintingDialogOffersNoMinimiseOrMaximise) {
    test::TempDir dir;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(dir.file("all.pdf")));
    QPointer<qt::PrintingDialog> dialog = window->StartPrinting(std::move(printer), true);
    const Qt::WindowFlags flags = dialog->windowFlags();
    // A window with a title and a close button only: the desktop is told
    // that moving and closing are its functions, not minimising or
    // maximising; and it cannot be resized.
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    // Closing it cancels the job, which ends normally.
    dialog->close();
    EXPECT_TRUE(test::WaitUntil([&] { return dialog.isNull() || dialog->Finished(); }, 10000));
}

}  // namespace
}  // namespace parlo
