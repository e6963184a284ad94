#pragma once
// Colours that stay readable on the desktop's palette. Sheets name some
// colours of their own (navy values, grey headings) and take the rest from
// the palette; on a dark palette a named dark colour, or the palette's own
// shadow colour used for rules, can all but vanish against the base. These
// helpers lift such a colour just far enough to be seen again.
#include <QColor>
#include <QPalette>

namespace parlo::qt {

// The relative luminance (0 black .. 1 white) and the contrast ratio of two
// colours (1 .. 21), as accessibility guidelines measure them.
double RelativeLuminance(const QColor& colour);
double ContrastRatio(const QColor& a, const QColor& b);

// Whether the palette shows light text on a dark base.
bool IsDarkPalette(const QPalette& palette);

// `colour` when it has at least `minimum` contrast against `background`;
// otherwise `colour` blended towards `towards` (the palette's text colour)
// in the smallest step that reaches it, or `towards` itself.
QColor Legible(const QColor& colour, const QColor& background, double minimum,
               const QColor& towards);

// The rules between the cells of a grid: the palette's shadow colour, and
// on a dark palette at least 3:1 against the base.
QColor GridRuleColour(const QPalette& palette);

}  // namespace parlo::qt
