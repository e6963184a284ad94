#pragma once
// The entry points of the PDF printing module, which parlo-cli loads only
// for `print`, so that its other commands never start QtGui. The module
// exports one function by this name that fills the table.
#include <functional>
#include <string>

#include "platform/PrinterPage.h"

namespace parlo {

struct PdfPrinting {
    // Runs `body` under a toolkit application on the offscreen platform and
    // returns what it returns.
    int (*run)(int argc, char** argv, const std::function<int()>& body);
    // A PDF document made in memory, as a printer page, begun at once
    // (nullptr when it cannot be begun). The caller saves its bytes: every
    // file is written by the one safe writer.
    PrinterPage* (*open)();
    // Ends the document, hands its bytes to *pdf and frees the page; false
    // when the document could not be made.
    bool (*close)(PrinterPage* page, std::string* pdf);
};

inline constexpr const char* kPdfPrintingModule = "parlo-pdf.so";
inline constexpr const char* kPdfPrintingSymbol = "ParloPdfPrinting";

}  // namespace parlo
