#pragma once
// The clone sessions of parlo-cli: one per port, each with its own document,
// clone manager and commands, all driven by the one Qt event loop, so that
// several radios are cloned at once without threads. Messages go to the
// terminal (prefixed with the port when there are several radios); every
// question is answered with OK, the answer the command line has given.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CloneCommands.h"
#include "app/Document.h"
#include "cli/CliArgs.h"
#include "clone/CloneManager.h"
#include "platform/Prompts.h"

namespace parlo::cli {

struct PortChoice {
    int32_t number = 0;  // 0 for a device named by path and not mapped
    std::string device;
    bool high = false;
};

// The ports of --port (each a number or a device path; several allowed when
// `several`), else the settings' port and speed. False after a usage
// message. The settings are only read: parlo-cli never writes them.
bool ChoosePorts(const char* command, const ParsedArgs& args, bool several,
                 std::vector<PortChoice>* out);

// A bar on stderr for one radio: the stage, the data bytes moved of the
// total and the time left.
class TerminalProgress : public CloneProgressView {
public:
    explicit TerminalProgress(bool enabled) : enabled_(enabled) {}
    void BeginOperation(bool showProgress) override;
    void UpdateProgress(const CloneProgress& progress) override;
    void EndOperation() override;

private:
    bool enabled_;
    bool showing_ = false;
    bool drawn_ = false;
};

// One radio on one port.
class CloneSession {
public:
    CloneSession(const PortChoice& port, bool progress, bool named);
    CloneSession(const CloneSession&) = delete;
    CloneSession& operator=(const CloneSession&) = delete;

    Document& document() { return document_; }
    parlo::CloneCommands& commands() { return commands_; }
    const PortChoice& Port() const { return port_; }
    std::string PortText() const;
    // The radio's serial number once it has been identified, else "-".
    std::string Serial() const;

    // Starts a command; `onEnd` follows its outcome.
    void Start(const std::function<void(parlo::CloneCommands::Done)>& start,
               std::function<void()> onEnd);
    // Stops what may be stopped (not a write whose data flow).
    bool Cancel() { return manager_.Cancel(); }
    bool Finished() const { return finished_; }
    int Outcome() const { return outcome_; }
    double Seconds() const;

private:
    PortChoice port_;
    TerminalProgress progress_;
    Document document_;
    CloneManager manager_;
    parlo::CloneCommands commands_{document_, manager_};
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point ended_;
    bool finished_ = false;
    int outcome_ = 0;
};

// The prompts of all sessions for its life: errors and warnings on stderr,
// information on stdout. With `named`, a message captioned with a port (not
// the application's title) starts with that port.
class ClonePrompts : public Prompts {
public:
    explicit ClonePrompts(bool named);
    ~ClonePrompts() override;
    ClonePrompts(const ClonePrompts&) = delete;
    ClonePrompts& operator=(const ClonePrompts&) = delete;
    MsgAnswer Message(const std::string& caption, const std::string& text, MsgIcon icon,
                      MsgButtons buttons) override;

private:
    bool named_;
    Prompts* previous_;
};

// Runs the command on every session on one event loop until all have
// ended; `onEnd` is called for each as it ends. An interrupt (Ctrl+C)
// cancels what may be cancelled and says what may not; a second one ends
// the program.
void RunSessions(std::vector<std::unique_ptr<CloneSession>>& sessions,
                 const std::function<void(CloneSession&, parlo::CloneCommands::Done)>& start,
                 const std::function<void(CloneSession&)>& onEnd);

// The exit status of an outcome: the clone status (1 when cancelled), 65
// for a refused document, 73 for a backup that could not be saved, 1
// otherwise.
int ExitStatus(int outcome);
// The head line of an outcome's message, for a line per radio.
std::string OutcomeText(int outcome);

}  // namespace parlo::cli
