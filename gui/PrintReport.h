#pragma once
// What the status bar says after a print job: what was printed, how many
// pages, and where they went (a PDF file or a printer).
#include <string>

namespace parlo::qt {

struct PrintReport {
    std::string sheet;    // the sheet's title; empty: every page of the tree
    std::string file;     // the PDF file, when printing to one
    std::string printer;  // else the printer's name

    std::string Text(int pages, bool cancelled) const;
};

}  // namespace parlo::qt
