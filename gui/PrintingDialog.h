#pragma once
// The printing dialog and the print job behind it. The job prints one tree
// node's sheet per step, and the main task steps it every 50 ms, so the
// window stays responsive and the dialog shows which sheet is printing. The
// dialog's button cancels before the next page, between the pages of one
// sheet too; the document is then ended normally. A PDF file is made in
// memory and saved by the safe writer only when complete: a cancelled or
// failed printout leaves an earlier file of that name as it was.
#include <QBuffer>
#include <QDialog>
#include <QLabel>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "platform/SafeFile.h"
#include "sheet/PrintJob.h"

namespace parlo::qt {

class QtPagedPage;

class PrintingDialog : public QDialog {
    Q_OBJECT
public:
    // One entry per tree node: its action (empty: nothing to print) and the
    // caption the dialog shows while it prints.
    struct Node {
        std::string action;
        std::string caption;
    };

    PrintingDialog(QWidget* owner, std::unique_ptr<QPrinter> printer, std::vector<Node> nodes,
                   DocumentScope scope, DispatchFunction dispatcher);
    ~PrintingDialog() override;

    // Prints the next node; at the end ends the document and closes.
    void Step();
    bool Finished() const { return finished_; }
    int PagesPrinted() const;
    // The button (or Escape) stopped the job before its end.
    bool Cancelled() const { return job_ ? job_->Cancelled() : cancelled_; }
    QLabel* SheetLabel() const { return sheet_; }
    QPushButton* CancelButton() const { return cancel_; }

signals:
    void PrintingFinished(int pages);

protected:
    void reject() override;

private:
    void BeginPdfFile();
    void SavePdfFile();
    void Finish();

    std::unique_ptr<QPrinter> printer_;
    // A printout to a PDF file: the file, and the document made for it.
    std::unique_ptr<SafeFileWriter> pdfFile_;
    bool pdfOpen_ = false;
    QBuffer pdfBytes_;
    std::unique_ptr<QPdfWriter> pdfWriter_;
    std::unique_ptr<QtPagedPage> page_;
    std::unique_ptr<PrintJob> job_;
    std::vector<Node> nodes_;
    size_t next_ = 0;
    QLabel* sheet_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool stepping_ = false;
    bool finished_ = false;
    bool cancelled_ = false;
    int pages_ = 0;
};

}  // namespace parlo::qt
