#pragma once
// The clone sessions of parlo-cli: one per port, each with its own document,
// clone manager and commands, all driven by the one Qt event loop, so that
// several radios are cloned at once without threads. Messages go to the
// terminal (prefixed with the port when there are several radios); every
// question is answered with OK, the answer the command line has given.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CloneCommands.h"
#include "app/Document.h"
#include "cli/CliArgs.h"
#include "clone/CloneManager.h"
#include "platform/Prompts.h"
#include "runtime/EventManager.h"

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
// total and the time left. It is redrawn at most ten times a second and
// only when its text changes; the last state (100 % after a success) is
// drawn before the line ends.
class TerminalProgress : public CloneProgressView {
public:
    static constexpr uint32_t kRedrawMs = 100;

    explicit TerminalProgress(bool enabled, std::FILE* out = stderr)
        : enabled_(enabled), out_(out) {}
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;
    void BeginOperation(bool showProgress) override;
    void UpdateProgress(const CloneProgress& progress) override;
    void EndOperation() override;
    // Draws where the operation stands and ends the bar's line, so that a
    // message starts on a line of its own (the bar goes on below it); for
    // the bar on the screen, if any.
    static void EndLineOnScreen();

private:
    void Draw();
    void EndLine();

    bool enabled_;
    std::FILE* out_;
    bool showing_ = false;
    bool drawn_ = false;
    std::string line_;   // the text the bar shows now
    std::string shown_;  // the text drawn last
    uint32_t drawnMs_ = 0;
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
    bool Cancel() { return Told(manager_.Cancel()); }
    // Stops a write whose data flow after the block being sent.
    bool StopAfterBlock() { return Told(manager_.StopAfterBlock()); }
    // Told to stop by one of the two.
    bool Stopping() const { return stopping_; }
    bool Finished() const { return finished_; }
    int Outcome() const { return outcome_; }
    // How long the command took, in seconds with one decimal ("21.4").
    std::string SecondsText() const;

private:
    bool Told(bool stops) {
        stopping_ = stopping_ || stops;
        return stops;
    }

    PortChoice port_;
    TerminalProgress progress_;
    EventManager events_;
    Document document_{events_};
    CloneManager manager_;
    parlo::CloneCommands commands_{document_, manager_};
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point ended_;
    bool finished_ = false;
    bool stopping_ = false;
    int outcome_ = 0;
};

// The prompts of all sessions for its life: every message (a success as
// well as a failure) on stderr, so that stdout carries only what the
// command prints as its result. With `named`, a message captioned with a
// port (not the application's title) starts with that port.
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
// cancels what may be cancelled and warns that a write whose data flow
// goes on; a second within 3 s stops that write after the block being sent
// (status 1, the radio half written). After that, one more ends the
// program.
void RunSessions(std::vector<std::unique_ptr<CloneSession>>& sessions,
                 const std::function<void(CloneSession&, parlo::CloneCommands::Done)>& start,
                 const std::function<void(CloneSession&)>& onEnd);

// The exit status of an outcome: the clone status (1 when cancelled), 65
// for a refused document, 73 for a backup that could not be saved, 1
// otherwise.
int ExitStatus(int outcome);

}  // namespace parlo::cli
