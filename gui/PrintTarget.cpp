#include "gui/PrintTarget.h"

#include <QFileInfo>
#include <QPrinterInfo>

namespace parlo::qt {

void OfferLastPrintTarget(QPrinter& printer, const AppSettings& env,
                          const std::string& documentPath) {
    if (!documentPath.empty())
        printer.setDocName(QFileInfo(QString::fromStdString(documentPath)).completeBaseName());
    const QString lastPrinter = QString::fromStdString(env.LastPrinter());
    if (!lastPrinter.isEmpty() && QPrinterInfo::availablePrinterNames().contains(lastPrinter)) {
        printer.setPrinterName(lastPrinter);
    } else if (!env.LastPdfFile().empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(env.LastPdfFile()));
    }
}

void RememberPrintTarget(const QPrinter& printer, AppSettings& env) {
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        env.SetLastPrintTarget(printer.outputFileName().toStdString(), "");
    } else if (printer.outputFormat() == QPrinter::NativeFormat) {
        env.SetLastPrintTarget("", printer.printerName().toStdString());
    }
}

}  // namespace parlo::qt
