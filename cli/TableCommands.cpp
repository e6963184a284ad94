// parlo-cli export / import: the channels as CSV, for spreadsheets.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/ChannelTable.h"
#include "cells/CellDispatcher.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "platform/SafeFile.h"
#include "platform/TerminalText.h"

namespace parlo::cli {

namespace {

const std::vector<OptionSpec> kExportOptions = {{"-o", "--output", true},
                                                {"--bank", nullptr, true}};
const std::vector<OptionSpec> kImportOptions = {{"-o", "--output", true}};

int RunExport(const ParsedArgs& args) {
    std::optional<int> bank;
    if (!ReadBankOption(args, "parlo-cli export", &bank)) return kExitUsage;
    CliSession session;
    if (const int code = session.Open(args.Operands()[0]); code != 0) return code;
    CellDispatcher cells(session.Doc().Scope(), &session.Host());
    const std::string csv = ExportChannels(session.Doc(), cells.Entry(), bank);
    const std::string out = args.Value("-o").value_or(SafeFileWriter::kStandardOutput);
    SafeFileWriter writer;
    if (!writer.Open(out)) {
        ReportWriteFailure("export", out, writer, false);
        return kExitCantCreate;
    }
    const bool written = writer.Write(csv.data(), csv.size());
    if (!writer.Commit() || !written) {
        ReportWriteFailure("export", out, writer, true);
        return kExitCantCreate;
    }
    return 0;
}

int RunImport(const ParsedArgs& args) {
    const std::string& table = args.Operands()[1];
    std::string text;
    if (const FileFailure why = ReadWholeFile(table, &text); why.problem != FileProblem::None) {
        ReportReadFailure("import", table, why);
        return kExitInput;
    }
    CliSession session;
    if (const int code = session.Open(args.Operands()[0]); code != 0) return code;
    CellDispatcher cells(session.Doc().Scope(), &session.Host());
    const ImportOutcome outcome = ImportChannels(session.Doc(), cells.Entry(), text);
    if (!outcome.Ok()) {
        for (const std::string& refusal : outcome.refusals)
            std::fprintf(stderr, "%s\n", TerminalText(refusal).c_str());
        std::fprintf(stderr, "parlo-cli import: nothing was saved\n");
        return kExitInput;
    }
    const int status = session.Save(args.Value("-o").value_or(args.Operands()[0]));
    if (status != 0) return status;
    // As set does: a value stored other than typed is told once it is saved.
    for (const std::string& note : outcome.notes) std::fprintf(stderr, "%s\n", note.c_str());
    std::fprintf(stderr, "%d channel rows read, %d channels added\n", outcome.rows, outcome.added);
    return 0;
}

}  // namespace

std::vector<Command> TableCommands() {
    return {
        {"export", "export FILE [--bank N] [-o OUT.csv]",
         "Write the channels of every bank, or of bank N (1-5), as CSV: a header row, then one "
         "row per channel with its bank, its position and the text of each column of the bank "
         "sheet (to standard output without -o).",
         kExportOptions, 1, 1, RunExport},
        {"import", "import FILE IN.csv [-o OUT]",
         "Type the values of a CSV table (as export writes it; columns in any order, missing "
         "ones left as they are) into the channels' cells, adding channels where a bank ends; "
         "then save to OUT or back to FILE. Any value refused: each is listed, nothing is "
         "saved, exit 65. A value stored other than typed (limited, snapped to the raster) "
         "is told on stderr.",
         kImportOptions, 2, 2, RunImport},
    };
}

}  // namespace parlo::cli
