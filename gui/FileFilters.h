#pragma once
// The file dialogs' type list. The overlay writes it as pairs of description
// and pattern separated by "|" ("Clone files (*.icf)|*.icf|All files (*)|*");
// Qt wants one entry per type, "Description (patterns)".
#include <QStringList>
#include <string>

namespace parlo::qt {

// The Qt name filters of an overlay filter line. A description that already
// ends in a parenthesised pattern list has it replaced by the pair's own
// pattern, so the pattern that filters is always the one the line gives.
// An empty line lists every file; a line without "|" is already in Qt's
// form ("A (*.a);;B (*)").
QStringList NameFiltersFromOverlay(const std::string& line);

// The extension a name filter gives ("Workbook (*.xlsx)" -> "xlsx"); empty
// for a filter of every file or of several extensions.
QString SuffixOfNameFilter(const QString& filter);

}  // namespace parlo::qt
