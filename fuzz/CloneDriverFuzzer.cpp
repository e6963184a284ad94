// The clone driver fed radio bytes on virtual time: clone information, a
// read or a write, with the input as everything the radio sends (see
// RadioStream.h). Every command must end, with one of its documented
// outcomes, soon after the radio falls silent.
#include <set>
#include <string>

#include "fuzz/CloneRun.h"
#include "fuzz/FuzzSupport.h"
#include "model/CloneInfo.h"

using namespace parlo;

namespace {

// The longest a command may run once nothing more arrives: a write's wait
// for the radio to be ready is the longest single wait.
constexpr uint32_t kQuietLimitMs = 120000;

const std::set<int> kOutcomes = {kCloneOk,
                                 kClonePortOpen,
                                 kCloneEcho,
                                 kCloneTimeout,
                                 kCloneFrame,
                                 kCloneFrameCount,
                                 kCloneCoverage,
                                 kCloneAddress,
                                 kCloneWriteUnconfirmed,
                                 kCloneModel,
                                 kCloneMapRevision,
                                 kCloneContent,
                                 kCloneNewerData,
                                 kCloneShortWrite,
                                 CloneCommands::kCancelled,
                                 CloneCommands::kRefused};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::SetUpOnce().agree = true;  // the write's questions are answered yes
    const fuzz::RadioStream stream = fuzz::ParseRadioStream(data, size);
    try {
        fuzz::CloneRun run;
        const std::optional<int> outcome = run.Run(stream, kQuietLimitMs);
        if (!outcome) fuzz::Finding("the command did not end");
        if (kOutcomes.count(*outcome) == 0)
            fuzz::Finding("undocumented outcome " + std::to_string(*outcome));
        if (run.Script().closes == 0 && !run.Script().opened.empty())
            fuzz::Finding("the port was left open");
        if (*outcome == kCloneOk && stream.command == 1) InfoLines(run.Commands().Identity());
    } catch (const fuzz::FatalError& e) {
        fuzz::Finding(std::string("the radio's bytes caused the program error: ") + e.what());
    }
    return 0;
}
