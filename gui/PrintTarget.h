#pragma once
// Where the print dialog starts: where the last print went. A PDF file
// printed to last is offered again, folder and name; a printer used last is
// chosen again. Without either, Qt's own PDF file is named after the
// document instead of "print".
#include <QPrinter>
#include <string>

#include "app/AppSettings.h"

namespace parlo::qt {

// Sets `printer` up before the print dialog shows it.
void OfferLastPrintTarget(QPrinter& printer, const AppSettings& env,
                          const std::string& documentPath);

// Keeps where the dialog sent the print.
void RememberPrintTarget(const QPrinter& printer, AppSettings& env);

}  // namespace parlo::qt
