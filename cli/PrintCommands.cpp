// parlo-cli print: sheets to a PDF file as the desktop program prints them,
// with no display.
#include <cstdio>
#include <string>
#include <vector>

#include "cells/BankCaption.h"
#include "cells/CellDispatcher.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/PdfModule.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/TerminalText.h"
#include "sheet/PrintJob.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"

namespace parlo::cli {

namespace {

// The node actions to print: every node in tree order (--all), the one
// given, or the tree's first node.
bool ChooseActions(const ParsedArgs& args, Document& doc, std::vector<std::string>* actions) {
    RadioTree tree(MainOverlay(), "GI_Tree_Main");
    tree.Build();
    tree.RebuildVariableBranches(CurrentVariant(), args.Has("--maker"), false);
    for (int bank = 0; bank < kBankCount; ++bank)
        tree.SetBankCaption(bank, BankCaption(doc.Working(), bank));
    if (args.Has("--all")) {
        tree.ForEach([&](TreeNode& n) { actions->push_back(n.Action()); });
    } else if (args.Operands().size() > 1) {
        const std::string& action = args.Operands()[1];
        if (const std::string why = SheetActionProblem(action); !why.empty()) {
            std::fprintf(stderr, "parlo-cli print: %s\n", TerminalText(why).c_str());
            return false;
        }
        actions->push_back(action);
    } else if (!tree.Root().children.empty()) {
        actions->push_back(tree.Root().children.front()->Action());
    }
    return true;
}

int RunPrint(const ParsedArgs& args) {
    const auto out = args.Value("-o");
    if (!out) {
        std::fprintf(stderr, "parlo-cli print: -o OUT.pdf is required\n");
        return kExitUsage;
    }
    if (args.Has("--all") && args.Operands().size() > 1) {
        std::fprintf(stderr, "parlo-cli print: give --all or an action, not both\n");
        return kExitUsage;
    }
    CliSession session;
    if (const int code = session.Open(args.Operands()[0]); code != 0) return code;
    std::vector<std::string> actions;
    if (!ChooseActions(args, session.Doc(), &actions)) return kExitUsage;

    std::string error;
    const PdfPrinting* pdf = LoadPdfPrinting(&error);
    if (pdf == nullptr) {
        std::fprintf(stderr, "parlo-cli print: cannot load the PDF printing: %s\n", error.c_str());
        return 3;
    }
    PrinterPage* page = pdf->open(out->c_str());
    if (page == nullptr) {
        std::fprintf(stderr, "parlo-cli print: cannot write '%s'\n", out->c_str());
        return kExitCantCreate;
    }
    const Rect rect = PageRectFromMargins(OvlText("GI_Sys_Printer_Margins"), page->Resolution(),
                                          page->PageWidth(), page->PageHeight());
    CellDispatcher cells(&session.Host());
    {
        PrintJob job(*page, cells.Entry(), std::move(actions), rect);
        while (job.Step()) {
        }
    }
    pdf->close(page);
    return 0;
}

}  // namespace

std::vector<Command> PrintCommands() {
    return {
        {"print",
         "print FILE -o OUT.pdf [--all | ACTION] [--maker]",
         "Print to a PDF file, as File > Print does to a PDF printer (same heads, feet and "
         "page breaks), the sheet of the tree's first node, the sheet a node action opens, or "
         "with --all every sheet of the tree in tree order. Needs no display. Exit with the "
         "file error code when FILE is refused, 73 when OUT.pdf cannot be written.",
         {{"-o", "--output", true}, {"--all", nullptr, false}, {"--maker", nullptr, false}},
         1,
         2,
         RunPrint},
    };
}

}  // namespace parlo::cli
