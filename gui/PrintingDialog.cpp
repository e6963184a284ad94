#include "gui/PrintingDialog.h"

#include <QApplication>
#include <QVBoxLayout>

#include "clone/CloneFile.h"
#include "gui/QtPrinterPage.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "platform/Prompts.h"

namespace parlo::qt {

namespace {

QString Text(int line) {
    return QString::fromStdString(OvlText("GI_Sys_Printer_PrintingDialog", line));
}

}  // namespace

PrintingDialog::PrintingDialog(QWidget* owner, std::unique_ptr<QPrinter> printer,
                               std::vector<Node> nodes, DocumentScope scope,
                               DispatchFunction dispatcher)
    // Without a button hint the desktop would be told every function is
    // allowed, minimise and maximise included; the close button cancels.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      printer_(std::move(printer)),
      nodes_(std::move(nodes)) {
    setWindowTitle(Text(0));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Text(1), this);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    sheet_ = new QLabel(this);
    sheet_->setTextFormat(Qt::PlainText);
    sheet_->setMinimumHeight(label->sizeHint().height());
    layout->addWidget(sheet_, 0, Qt::AlignHCenter);
    cancel_ = new QPushButton(Text(2), this);
    cancel_->setDefault(true);
    cancel_->setMinimumWidth(label->sizeHint().width() * 6 / 5);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    // A fixed size: nothing in it grows.
    setFixedSize(std::max(sizeHint().width(), label->sizeHint().width() * 2), sizeHint().height());
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (job_) job_->Cancel();
        cancel_->setEnabled(false);
    });

    printer_->setCopyCount(1);
    if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty())
        BeginPdfFile();
    else
        page_ = std::make_unique<QtPrinterPage>(*printer_);
    std::vector<std::string> actions;
    for (const Node& n : nodes_) actions.push_back(n.action);
    const Rect rect = PageRectFromMargins(OvlText("GI_Sys_Printer_Margins"), page_->Resolution(),
                                          page_->PageWidth(), page_->PageHeight());
    job_ =
        std::make_unique<PrintJob>(*page_, scope, std::move(dispatcher), std::move(actions), rect);
    // Within a sheet the button is looked at before every page.
    job_->SetCancelCheck([] {
        QApplication::processEvents();
        return false;
    });
    if (!page_->Active() || (pdfFile_ && !pdfOpen_)) job_->Cancel();
}

// The file is opened at once, so that one that cannot be written says so
// before any page is made; the pages go to a document in memory, laid out
// as the printer would lay them out.
void PrintingDialog::BeginPdfFile() {
    pdfFile_ = std::make_unique<SafeFileWriter>();
    pdfOpen_ = pdfFile_->Open(printer_->outputFileName().toStdString());
    pdfBytes_.open(QIODevice::WriteOnly);
    pdfWriter_ = std::make_unique<QPdfWriter>(&pdfBytes_);
    pdfWriter_->setPageLayout(printer_->pageLayout());
    pdfWriter_->setResolution(printer_->resolution());
    pdfWriter_->setTitle(printer_->docName());
    pdfWriter_->setCreator(printer_->creator());
    page_ = std::make_unique<QtPagedPage>(*pdfWriter_, printer_->resolution());
}

PrintingDialog::~PrintingDialog() = default;

int PrintingDialog::PagesPrinted() const { return job_ ? job_->PagesPrinted() : pages_; }

void PrintingDialog::Step() {
    // The button's events are handled inside a step: a tick that comes
    // meanwhile waits for the next one.
    if (stepping_ || finished_) return;
    stepping_ = true;
    if (next_ < nodes_.size()) {
        if (!nodes_[next_].action.empty() && !job_->Cancelled()) {
            sheet_->setText(QString::fromStdString(nodes_[next_].caption));
            sheet_->repaint();
        }
        ++next_;
        job_->Step();
    }
    stepping_ = false;
    if (job_->Done()) Finish();
}

void PrintingDialog::Finish() {
    finished_ = true;
    pages_ = job_->PagesPrinted();
    cancelled_ = job_->Cancelled();
    job_.reset();
    page_.reset();  // ends the document
    if (pdfFile_ && (!pdfOpen_ || !cancelled_)) SavePdfFile();
    pdfFile_.reset();
    emit PrintingFinished(pages_);
    close();
}

// A cancelled printout is not saved; one that cannot be says why.
void PrintingDialog::SavePdfFile() {
    const bool begun = pdfOpen_;
    pdfWriter_.reset();
    bool saved = false;
    if (begun) {
        const QByteArray& pdf = pdfBytes_.data();
        const bool written = pdfFile_->Write(pdf.constData(), static_cast<size_t>(pdf.size()));
        saved = pdfFile_->Commit() && written;
    }
    if (saved) return;
    std::string text = FormatText(OvlText("GI_Sys_Printer_SaveFailed"),
                                  {printer_->outputFileName().toStdString()});
    if (const std::string why = SaveFailureText(*pdfFile_, begun); !why.empty()) text += "\n" + why;
    prompts().Message(OvlText("GI_Sys_AppTitle"), text, MsgIcon::Error, MsgButtons::Ok);
}

// Escape or the window's close button cancel like the button does.
void PrintingDialog::reject() {
    if (finished_) {
        QDialog::reject();
        return;
    }
    if (job_) job_->Cancel();
    cancel_->setEnabled(false);
}

}  // namespace parlo::qt
