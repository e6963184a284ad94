#pragma once
// One clone command end to end on virtual time, as parlo-cli runs it: the
// document, the clone manager on a scripted line that echoes every byte,
// and the clone commands that judge what the radio sends. The radio is
// either the input's stream of bytes or the simulator.
#include <functional>
#include <memory>
#include <optional>

#include "app/CloneCommands.h"
#include "app/Document.h"
#include "fuzz/RadioStream.h"
#include "runtime/EventManager.h"
#include "tests/support/ScriptedSerial.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo::fuzz {

// Makes `doc` the document every run starts from: the LMR factory document
// with one channel.
void StartDocument(Document& doc);

class CloneRun {
public:
    CloneRun();
    ~CloneRun();

    test::SerialScript& Script() { return *script_; }
    test::VirtualScheduler& Clock() { return clock_; }
    CloneCommands& Commands() { return commands_; }
    Document& Doc() { return document_; }

    // Starts the command; then, every 10 ms of virtual time, hands the line
    // the chunks that are due and steps the clock, until the command ends or
    // `limitMs` after the last chunk. Nothing when it did not end.
    std::optional<int> Run(const RadioStream& stream, uint32_t limitMs);

private:
    test::VirtualScheduler clock_;
    EventManager events_{clock_};
    Document document_{events_};
    std::shared_ptr<test::SerialScript> script_ = std::make_shared<test::SerialScript>();
    CloneManager manager_;
    CloneCommands commands_;
};

}  // namespace parlo::fuzz
