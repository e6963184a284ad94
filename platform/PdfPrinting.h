#pragma once
// The entry points of the PDF printing module, which parlo-cli loads only
// for `print`, so that its other commands never start QtGui. The module
// exports one function by this name that fills the table.
#include "platform/PrinterPage.h"

namespace parlo {

struct PdfPrinting {
    // Runs body(context) under a toolkit application on the offscreen
    // platform and returns what it returns.
    int (*run)(int argc, char** argv, int (*body)(void* context), void* context);
    // A PDF file as a printer page, begun at once (nullptr when it cannot be
    // written); closing it ends the file.
    PrinterPage* (*open)(const char* path);
    void (*close)(PrinterPage* page);
};

inline constexpr const char* kPdfPrintingModule = "parlo-pdf.so";
inline constexpr const char* kPdfPrintingSymbol = "ParloPdfPrinting";

}  // namespace parlo
