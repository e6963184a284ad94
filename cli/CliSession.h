#pragma once
// What a parlo-cli command that works on a document sets up: the event bus,
// a document, the file loaded into it as File > Open does, and headless
// stand-ins for the message boxes and the application's commands.
#include <string>

#include "app/Document.h"
#include "cells/CellHost.h"
#include "platform/Prompts.h"
#include "platform/SafeFile.h"
#include "runtime/EventManager.h"

namespace parlo::cli {

// "parlo-cli COMMAND: cannot write 'PATH': why", on stderr, with what became
// of the earlier file once the writing had begun.
void ReportWriteFailure(const char* command, const std::string& path, const SafeFileWriter& out,
                        bool begun);
// "parlo-cli COMMAND: cannot read 'PATH': why", on stderr.
void ReportReadFailure(const char* command, const std::string& path, const FileFailure& why);

// Messages go to stderr and count as a refusal; questions are answered yes
// only when the command line said so (--yes).
class CliPrompts : public Prompts {
public:
    explicit CliPrompts(bool yes);
    ~CliPrompts() override;
    MsgAnswer Message(const std::string& caption, const std::string& text, MsgIcon icon,
                      MsgButtons buttons) override;
    int refusals = 0;

private:
    bool yes_;
    Prompts* previous_;
};

// Cells run headless: commands that need the desktop are refused.
class CliHost : public CellHost {
public:
    CliHost(Document& doc, CliPrompts& prompts) : doc_(doc), prompts_(prompts) {}
    void RunCommand(int cell, int32_t index, const CellContext& context) override;
    void RunRowCommand(RowCommand command, CellContext& context, ChannelRecord& record, int first,
                       int last) override;
    void ContextHelp(int, int, int32_t) override {}
    void CellEdited() override { doc_.RebuildModelData(); }

private:
    Document& doc_;
    CliPrompts& prompts_;
};

class CliSession {
public:
    explicit CliSession(bool yes = false);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    Document& Doc() { return doc_; }
    CliHost& Host() { return host_; }
    // Message boxes shown and questions not confirmed so far.
    int Refusals() const { return prompts_.refusals; }

    // Loads FILE as the Open command does, then the post-load processing.
    // Returns the file error code (its message shown on stderr).
    int Open(const std::string& path);
    // Saves the document as the Save command does.
    int Save(const std::string& path);

private:
    EventManager events_;
    Document doc_{events_};
    CliPrompts prompts_;
    CliHost host_;
};

}  // namespace parlo::cli
