#include "cli/PdfModule.h"

#include "platform/PrivateModule.h"

namespace parlo::cli {

const PdfPrinting* LoadPdfPrinting(std::string* error) {
    return static_cast<const PdfPrinting*>(
        LoadPrivateModule(kPdfPrintingModule, kPdfPrintingSymbol, error));
}

}  // namespace parlo::cli
