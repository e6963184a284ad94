#include "cli/CliSession.h"

#include <cstdio>

#include "app/AppSettings.h"
#include "app/FileMessages.h"
#include "cells/CellNames.h"
#include "clone/CloneFileOps.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "platform/TerminalText.h"

namespace parlo::cli {

void ReportWriteFailure(const char* command, const std::string& path, const SafeFileWriter& out,
                        bool begun) {
    std::fprintf(stderr, "parlo-cli %s: cannot write '%s': %s\n", command, path.c_str(),
                 SaveFailureText(out, begun).c_str());
}

void ReportReadFailure(const char* command, const std::string& path, const FileFailure& why) {
    std::fprintf(stderr, "parlo-cli %s: cannot read '%s': %s\n", command, TerminalText(path).c_str(),
                 FileFailureText(why).c_str());
}

CliPrompts::CliPrompts(bool yes) : yes_(yes), previous_(SetPrompts(this)) {}

CliPrompts::~CliPrompts() { SetPrompts(previous_); }

MsgAnswer CliPrompts::Message(const std::string&, const std::string& text, MsgIcon,
                              MsgButtons buttons) {
    std::fprintf(stderr, "%s\n", TerminalText(text, true).c_str());
    if (buttons == MsgButtons::Ok) {
        ++refusals;
        return MsgAnswer::Ok;
    }
    if (yes_) return buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
    ++refusals;
    std::fprintf(stderr, "(not confirmed: give --yes to answer yes)\n");
    return MsgAnswer::Cancel;
}

void CliHost::RunCommand(int cell, int32_t, const CellContext&) {
    std::fprintf(stderr, "%s runs only in the desktop program.\n", CellName(cell).c_str());
    ++prompts_.refusals;
}

void CliHost::RunRowCommand(RowCommand, CellContext&, ChannelRecord&, int, int) {
    std::fprintf(stderr, "Row commands run only in the desktop program.\n");
    ++prompts_.refusals;
}

CliSession::CliSession(bool yes) : prompts_(yes), host_(doc_, prompts_) {}

CliSession::~CliSession() = default;

int CliSession::Open(const std::string& path) {
    // An initial file that cannot be read is a broken installation: a
    // program error, as in the desktop program.
    std::string problem;
    if (!doc_.SelectModel(doc_.Variant(), &problem)) fatal(problem);
    doc_.NewFromDefaults();
    EepromImage loaded;
    if (const uint8_t code = ShowFileOutcome(OpenCloneFile(path, doc_.Working(), &loaded));
        code != kFileOk)
        return code;
    doc_.Working().Assign(loaded);
    if (!doc_.AfterLoad(&problem)) fatal(problem);
    doc_.SetFileName(path);
    doc_.MarkUnmodified();
    return kFileOk;
}

int CliSession::Save(const std::string& path) {
    doc_.PrepareImage(doc_.Working(), PackMode::Save);
    const uint8_t code = ShowFileOutcome(SaveCloneFile(path, doc_.Working()));
    if (code == kFileOk) doc_.MarkUnmodified();
    return code;
}

}  // namespace parlo::cli
