// parlo-cli sheets / sheet: the navigation tree and any sheet as text.
#include <cstdio>
#include <string>

#include "cells/BankCaption.h"
#include "cells/CellDispatcher.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/TerminalText.h"
#include "sheet/FixedMetricsCanvas.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"

namespace parlo::cli {

namespace {

const std::vector<OptionSpec> kSheetOptions = {{"--maker", nullptr, false}};

int RunSheets(const ParsedArgs& args) {
    CliSession session;
    if (const int code = session.Open(args.Operands()[0]); code != 0) return code;
    session.Doc().Modes().maker = args.Has("--maker");
    RadioTree tree(MainOverlay(), "GI_Tree_Main", session.Doc().Scope());
    tree.Build();
    tree.RebuildVariableBranches();
    for (int bank = 0; bank < kBankCount; ++bank)
        tree.SetBankCaption(bank, BankCaption(session.Doc().Working(), bank));
    std::fputs(tree.Listing().c_str(), stdout);
    return 0;
}

// One line per row: the text of each cell, " | " between cells; a join cell
// is drawn as part of its left neighbour and adds nothing.
std::string SheetText(Sheet& sheet) {
    std::string out;
    for (int r = 0; r < sheet.RowCount(); ++r) {
        std::string line;
        bool first = true;
        for (int c = 0; c < sheet.ColCount(); ++c) {
            if (sheet.Cell(c, r).Join()) continue;
            std::string text = sheet.CellText(c, r);
            for (char& ch : text) {
                if (ch == '\n') ch = ' ';
            }
            if (!first) line += " | ";
            line += text;
            first = false;
        }
        out += TerminalText(line) + '\n';
    }
    return out;
}

int RunSheet(const ParsedArgs& args) {
    CliSession session;
    if (const int code = session.Open(args.Operands()[0]); code != 0) return code;
    const std::string& action = args.Operands()[1];
    if (const std::string why = SheetActionProblem(action); !why.empty()) {
        std::fprintf(stderr, "parlo-cli sheet: %s\n", TerminalText(why).c_str());
        return kExitUsage;
    }
    CellDispatcher cells(session.Doc().Scope(), &session.Host());
    Sheet::Params params;
    auto sheet = CreateSheet(action, params, session.Doc().Scope(), cells.Entry());
    FixedMetricsCanvas measure;
    sheet->Build(measure);
    const std::string title = sheet->TitleText();
    if (!title.empty() && !sheet->Style().title.empty())
        std::printf("%s\n", TerminalText(title).c_str());
    std::fputs(SheetText(*sheet).c_str(), stdout);
    return 0;
}

}  // namespace

std::vector<Command> SheetCommands() {
    return {
        {"sheets", "sheets FILE [--maker]",
         "Print the navigation tree of the file's variant: two blanks per level, the caption, "
         "a tab and the node's action.",
         kSheetOptions, 1, 1, RunSheets},
        {"sheet", "sheet FILE ACTION [--maker]",
         "Build the sheet a tree node opens (for example '[St_ChBank]GI_Sheet_Mch_PMR,Bank 0') "
         "and print it as text, one line per row, cells separated by ' | '.",
         kSheetOptions, 2, 2, RunSheet},
    };
}

}  // namespace parlo::cli
