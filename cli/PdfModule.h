#pragma once
// Loads the PDF printing module (platform/PrivateModule.h).
#include <string>

#include "platform/PdfPrinting.h"

namespace parlo::cli {

// The module's table, loaded once; nullptr with the reason in *error.
const PdfPrinting* LoadPdfPrinting(std::string* error);

}  // namespace parlo::cli
