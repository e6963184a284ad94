// The PDF printing module parlo-cli loads for `print`: a QGuiApplication on
// the offscreen platform and QPdfWriter pages, made in memory.
#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/PdfPrinting.h"
#include "platform/qtgui/QtPagedPage.h"

namespace parlo::qt {
namespace {

// The desktop prints through a high-resolution printer, whose PDF page is
// the writer's: A4 with its default margins, at 1200 dpi.
constexpr int kDesktopPrinterResolution = 1200;

class PdfPage {
public:
    PdfPage() {
        bytes_.open(QIODevice::WriteOnly);
        writer_ = std::make_unique<QPdfWriter>(&bytes_);
        writer_->setResolution(kDesktopPrinterResolution);
        page_ = std::make_unique<QtPagedPage>(*writer_, writer_->resolution());
    }
    QtPagedPage& Page() { return *page_; }
    // Ends the document: its bytes.
    bool Finish(std::string* pdf) {
        page_.reset();
        writer_.reset();
        pdf->assign(bytes_.data().constData(), static_cast<size_t>(bytes_.data().size()));
        return !pdf->empty();
    }

private:
    QBuffer bytes_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QtPagedPage> page_;  // ends the document before the writer goes
};

// The pages open, by the page handed out.
std::vector<std::unique_ptr<PdfPage>>& OpenPages() {
    static std::vector<std::unique_ptr<PdfPage>> pages;
    return pages;
}

int Run(int argc, char** argv, const std::function<int()>& body) {
    // The same fonts and layout whether or not a display is there.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit's remarks while it starts (such as XDG_RUNTIME_DIR unset,
    // as under cron or sudo) say nothing about the command's work.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        });
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(previous);
    return body();
}

PrinterPage* Open() {
    auto pdf = std::make_unique<PdfPage>();
    if (!pdf->Page().Active()) return nullptr;
    OpenPages().push_back(std::move(pdf));
    return &OpenPages().back()->Page();
}

bool Close(PrinterPage* page, std::string* pdf) {
    auto& pages = OpenPages();
    const auto it = std::find_if(pages.begin(), pages.end(),
                                 [page](const auto& p) { return &p->Page() == page; });
    if (it == pages.end()) return false;
    const bool made = (*it)->Finish(pdf);
    pages.erase(it);
    return made;
}

}  // namespace
}  // namespace parlo::qt

extern "C" __attribute__((visibility("default"))) const parlo::PdfPrinting* ParloPdfPrinting() {
    static const parlo::PdfPrinting table{parlo::qt::Run, parlo::qt::Open, parlo::qt::Close};
    return &table;
}
