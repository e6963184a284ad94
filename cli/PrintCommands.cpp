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
#include "platform/SafeFile.h"
#include "platform/TerminalText.h"
#include "sheet/PrintJob.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"

namespace parlo::cli {

namespace {

// The node actions to print: every node in tree order (--all), the one
// given, or the tree's first node.
bool ChooseActions(const ParsedArgs& args, Document& doc, std::vector<std::string>* actions) {
    doc.Modes().maker = args.Has("--maker");
    RadioTree tree(MainOverlay(), "GI_Tree_Main", doc.Scope());
    tree.Build();
    tree.RebuildVariableBranches();
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

// The pages of `actions` as a PDF document in *pdf; 0 or the exit status.
int PrintToMemory(CliSession& session, std::vector<std::string> actions, std::string* pdf) {
    std::string error;
    const PdfPrinting* printing = LoadPdfPrinting(&error);
    if (printing == nullptr) {
        std::fprintf(stderr, "parlo-cli print: cannot load the PDF printing: %s\n", error.c_str());
        return 3;
    }
    PrinterPage* page = printing->open();
    if (page == nullptr) {
        std::fprintf(stderr, "parlo-cli print: cannot begin a PDF document\n");
        return 3;
    }
    const Rect rect = PageRectFromMargins(OvlText("GI_Sys_Printer_Margins"), page->Resolution(),
                                          page->PageWidth(), page->PageHeight());
    CellDispatcher cells(session.Doc().Scope(), &session.Host());
    {
        PrintJob job(*page, session.Doc().Scope(), cells.Entry(), std::move(actions), rect);
        while (job.Step()) {
        }
    }
    if (!printing->close(page, pdf)) {
        std::fprintf(stderr, "parlo-cli print: the PDF document could not be made\n");
        return 3;
    }
    return 0;
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
    // Before the pages are made: a path that cannot take them fails now.
    SafeFileWriter file;
    if (!file.Open(*out)) {
        ReportWriteFailure("print", *out, file, false);
        return kExitCantCreate;
    }
    std::string pdf;
    if (const int status = PrintToMemory(session, std::move(actions), &pdf); status != 0)
        return status;
    const bool written = file.Write(pdf.data(), pdf.size());
    if (!file.Commit() || !written) {
        ReportWriteFailure("print", *out, file, true);
        return kExitCantCreate;
    }
    return 0;
}

}  // namespace

std::vector<Command> PrintCommands() {
    return {
        {"print",
         "print FILE -o OUT.pdf|- [--all | ACTION] [--maker]",
         "Print to a PDF file (to standard output with -o -), as File > Print does to a PDF "
         "printer (same heads, feet and page breaks), the sheet of the tree's first node, the "
         "sheet a node action opens, or with --all every sheet of the tree in tree order. Needs "
         "no display. Exit with the file error code when FILE is refused, 73 when OUT.pdf "
         "cannot be written completely (an earlier OUT.pdf then stays as it was).",
         {{"-o", "--output", true}, {"--all", nullptr, false}, {"--maker", nullptr, false}},
         1,
         2,
         RunPrint},
    };
}

}  // namespace parlo::cli
