// The PDF printing module parlo-cli loads for `print`: a QGuiApplication on
// the offscreen platform and QPdfWriter pages.
#include <QGuiApplication>
#include <QPdfWriter>
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
    explicit PdfPage(const char* path) : writer_(QString::fromUtf8(path)) {
        writer_.setResolution(kDesktopPrinterResolution);
        page_ = std::make_unique<QtPagedPage>(writer_, writer_.resolution());
    }
    QtPagedPage& Page() { return *page_; }

private:
    QPdfWriter writer_;
    std::unique_ptr<QtPagedPage> page_;  // ends the file before the writer goes
};

// The pages open, by the page handed out.
std::vector<std::unique_ptr<PdfPage>>& OpenPages() {
    static std::vector<std::unique_ptr<PdfPage>> pages;
    return pages;
}

int Run(int argc, char** argv, int (*body)(void*), void* context) {
    // The same fonts and layout whether or not a display is there.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return body(context);
}

PrinterPage* Open(const char* path) {
    auto pdf = std::make_unique<PdfPage>(path);
    if (!pdf->Page().Active()) return nullptr;
    OpenPages().push_back(std::move(pdf));
    return &OpenPages().back()->Page();
}

void Close(PrinterPage* page) {
    auto& pages = OpenPages();
    std::erase_if(pages, [page](const auto& p) { return &p->Page() == page; });
}

}  // namespace
}  // namespace parlo::qt

extern "C" __attribute__((visibility("default"))) const parlo::PdfPrinting* ParloPdfPrinting() {
    static const parlo::PdfPrinting table{parlo::qt::Run, parlo::qt::Open, parlo::qt::Close};
    return &table;
}
