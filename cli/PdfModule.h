#pragma once
// Finds and loads the PDF printing module: beside the program (a build
// tree), else in ../libexec/parlo/ (an installed tree: a private module,
// outside the linker's folders).
#include <string>

#include "platform/PdfPrinting.h"

namespace parlo::cli {

// The module's table, loaded once; nullptr with the reason in *error.
const PdfPrinting* LoadPdfPrinting(std::string* error);

}  // namespace parlo::cli
