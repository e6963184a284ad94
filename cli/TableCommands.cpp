// parlo-cli export / import: the channels as CSV or a workbook, for
// spreadsheets, and as a list of the CHIRP program.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ChannelTable.h"
#include "cells/CellDispatcher.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "platform/SafeFile.h"
#include "platform/TerminalText.h"

namespace parlo::cli {

namespace {

const std::vector<OptionSpec> kExportOptions = {{"-o", "--output", true},
                                                {"--bank", nullptr, true},
                                                {"--separator", nullptr, true},
                                                {"--xlsx", nullptr, false},
                                                {"--chirp", nullptr, false}};
const std::vector<OptionSpec> kImportOptions = {
    {"-o", "--output", true}, {"--bank", nullptr, true}, {"--locations", nullptr, true}};

// "71-78", "1,3,10-12": ranges of Locations, ends included.
bool LocationsOption(const ParsedArgs& args, std::vector<std::pair<int64_t, int64_t>>* ranges) {
    const auto text = args.Value("--locations");
    if (!text) return true;
    size_t start = 0;
    for (;;) {
        const size_t comma = text->find(',', start);
        const std::string part = text->substr(start, comma - start);
        const size_t dash = part.find('-', 1);
        const auto first = ReadInteger(part.substr(0, dash));
        const auto last = dash == std::string::npos ? first : ReadInteger(part.substr(dash + 1));
        if (!first || !last || *first < 0 || *last < *first) {
            std::fprintf(stderr,
                         "parlo-cli import: --locations takes Locations and ranges such as "
                         "71-78 or 1,3,10-12\n");
            return false;
        }
        ranges->emplace_back(*first, *last);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool ExportFormat(const ParsedArgs& args, TableExport* how) {
    const int formats = (args.Has("--xlsx") ? 1 : 0) + (args.Has("--chirp") ? 1 : 0);
    if (formats > 1 || (formats == 1 && args.Has("--separator"))) {
        std::fprintf(stderr,
                     "parlo-cli export: --xlsx, --chirp and --separator exclude each "
                     "other\n");
        return false;
    }
    // An output named *.xlsx: text in it would open in no spreadsheet.
    const bool named = NamesAWorkbook(args.Value("-o").value_or(""));
    if (args.Has("--xlsx") || (formats == 0 && !args.Has("--separator") && named))
        how->format = TableFormat::Workbook;
    if (args.Has("--chirp")) how->format = TableFormat::Chirp;
    if (const auto separator = args.Value("--separator")) {
        if (*separator == "," || *separator == ";") {
            how->separator = (*separator)[0];
        } else if (*separator == "tab" || *separator == "\t") {
            how->separator = '\t';
        } else {
            std::fprintf(stderr, "parlo-cli export: --separator takes ',', ';' or tab\n");
            return false;
        }
    }
    return true;
}

int RunExport(const ParsedArgs& args) {
    TableExport how;
    if (!ReadBankOption(args, "parlo-cli export", &how.bank) || !ExportFormat(args, &how))
        return kExitUsage;
    CliSession session;
    if (const int code = session.Open(args.Operands()[0]); code != 0) return code;
    CellDispatcher cells(session.Doc().Scope(), &session.Host());
    const ExportOutcome table = ExportChannelTable(session.Doc(), cells.Entry(), how);
    if (!table.Ok()) {
        std::fprintf(stderr, "parlo-cli export: %s\n", table.error.c_str());
        // An installation without the workbook module is the program's fault.
        return table.librariesMissing ? kFatalExitStatus : kExitCantCreate;
    }
    const std::string out = args.Value("-o").value_or(SafeFileWriter::kStandardOutput);
    SafeFileWriter writer;
    if (!writer.Open(out)) {
        ReportWriteFailure("export", out, writer, false);
        return kExitCantCreate;
    }
    const bool written = writer.Write(table.bytes.data(), table.bytes.size());
    if (!writer.Commit() || !written) {
        ReportWriteFailure("export", out, writer, true);
        return kExitCantCreate;
    }
    for (const std::string& note : table.notes) std::fprintf(stderr, "%s\n", note.c_str());
    return 0;
}

void PrintList(const std::vector<std::string>& lines, size_t more, const char* what) {
    for (const std::string& line : lines) std::fprintf(stderr, "%s\n", TerminalText(line).c_str());
    if (more > 0) std::fprintf(stderr, "... and %zu more %s\n", more, what);
}

int RunImport(const ParsedArgs& args) {
    TableImport how;
    if (!ReadBankOption(args, "parlo-cli import", &how.bank) ||
        !LocationsOption(args, &how.locations))
        return kExitUsage;
    const std::string& table = args.Operands()[1];
    CliSession session;
    if (const int code = session.Open(args.Operands()[0]); code != 0) return code;
    CellDispatcher cells(session.Doc().Scope(), &session.Host());
    const ImportOutcome outcome = ImportChannelFile(session.Doc(), cells.Entry(), table, how);
    if (outcome.unreadable.problem != FileProblem::None) {
        ReportReadFailure("import", table, outcome.unreadable);
        return kExitInput;
    }
    if (outcome.librariesMissing) {
        std::fprintf(stderr, "parlo-cli import: %s\n", outcome.refusals.front().c_str());
        return kFatalExitStatus;
    }
    if (outcome.format != TableFormat::Chirp && (how.bank || !how.locations.empty())) {
        std::fprintf(stderr,
                     "parlo-cli import: --bank and --locations are for a list of the CHIRP "
                     "program; this table says itself where its rows go\n");
        return kExitUsage;
    }
    if (!outcome.Ok()) {
        PrintList(outcome.refusals, outcome.moreRefusals, "refused");
        std::fprintf(stderr, "parlo-cli import: nothing was saved\n");
        return kExitInput;
    }
    const int status = session.Save(args.Value("-o").value_or(args.Operands()[0]));
    if (status != 0) return status;
    // As set does: a value stored other than typed is told once it is saved,
    // and so is what a list of another program asks to check.
    PrintList(outcome.notes, outcome.moreNotes, "noted");
    std::fprintf(stderr, "%d channel rows read, %d channels added", outcome.rows, outcome.added);
    if (outcome.filled > 0)
        std::fprintf(stderr, ", %d blank slot%s filled", outcome.filled,
                     outcome.filled == 1 ? "" : "s");
    std::fputc('\n', stderr);
    return 0;
}

}  // namespace

std::vector<Command> TableCommands() {
    return {
        {"export", "export FILE [--bank N] [--separator ';'|--xlsx|--chirp] [-o OUT]",
         "Write the channels of every bank, or of bank N (1-5): as CSV, a header row, then one "
         "row per channel with its bank, its position and the text of each column of the bank "
         "sheet (to standard output without -o); --separator ';' for spreadsheets that write a "
         "decimal comma (numbers then have one); --xlsx (or -o NAME.xlsx) a workbook with a "
         "sheet per bank; "
         "--chirp a list of the CHIRP program.",
         kExportOptions, 1, 1, RunExport},
        {"import", "import FILE TABLE [--bank N] [--locations L] [-o OUT]",
         "Type the values of a table (CSV as export writes it, with ',', ';' or tabs; a "
         "workbook; columns in any order, missing ones left as they are) into the channels' "
         "cells, adding channels where a bank ends; then save to OUT or back to FILE. A list "
         "of the CHIRP program goes into bank N (1) from its first position, the rows of the "
         "Locations L (71-78) only. Any value refused: each is listed, nothing is saved, "
         "exit 65. A value stored other than typed (limited, snapped to the raster) is told "
         "on stderr.",
         kImportOptions, 2, 2, RunImport},
    };
}

}  // namespace parlo::cli
