#pragma once
// The cell sources of the sheet description language: a row, tree, menu or
// tool-bar line is a sequence of cell sources ended by unescaped "|"; each
// source holds attribute text in braces and display text outside them.
#include <string>
#include <vector>

#include "cells/CellDesc.h"

namespace parlo {

class OverlayText;

class CellParser {
public:
    // Cell models ("$Name" -> section "CellModel_Name") come from `overlay`.
    explicit CellParser(OverlayText& overlay) : overlay_(overlay) {}

    // Takes the first cell source of `line`, resets `desc` from `base` and,
    // unless only counting, parses the source into it. Returns the text after
    // the source's "|", or an empty text when the line had no further "|".
    std::string ParseCell(const std::string& line, CellDesc& desc, const CellDesc* base,
                          Counters& counters, bool parse = true);

    // Attribute text as found between braces (or in a cell model).
    void ApplyAttributes(const std::string& attributes, CellDesc& desc, Counters& counters);

    // Display text: trimmed, escapes resolved, counter expressions filled in.
    static std::string DisplayText(const std::string& raw, const Counters& counters);

    // The number of cell sources on a line.
    static int CountCells(const std::string& line);

    // Cell models one cell may apply, those used by its models included.
    static constexpr int kMaxModelsPerCell = 256;

private:
    void ApplyAttribute(const std::string& attribute, CellDesc& desc, Counters& counters);
    void ApplyModel(const std::string& name, CellDesc& desc, Counters& counters);
    void ApplyReference(const std::string& reference, CellDesc& desc, const Counters& counters);

    OverlayText& overlay_;
    std::vector<std::string> models_;  // the models being applied, outermost first
    int modelsApplied_ = 0;            // by the cell being parsed
};

}  // namespace parlo
