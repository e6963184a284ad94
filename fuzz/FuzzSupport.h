#pragma once
// What every fuzz target sets up once: messages go nowhere (a fuzzer shows
// thousands), the data files come from the source tree, program errors
// throw so a target can tell the fatal errors it expects from the ones it
// does not, and a scratch file for inputs that must come from a path.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/Fatal.h"
#include "platform/ProgramInfo.h"
#include "platform/Prompts.h"

namespace parlo::fuzz {

struct FatalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Messages are counted, not shown. Questions are answered no, or yes when
// `agree`; as on the command line, a message box or a question answered no
// counts as a refusal.
class QuietPrompts : public Prompts {
public:
    MsgAnswer Message(const std::string&, const std::string&, MsgIcon,
                      MsgButtons buttons) override {
        if (buttons == MsgButtons::Ok || !agree) ++refusals;
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (buttons == MsgButtons::OkCancel) return agree ? MsgAnswer::Ok : MsgAnswer::Cancel;
        return agree ? MsgAnswer::Yes : MsgAnswer::No;
    }
    int refusals = 0;
    bool agree = false;
};

inline QuietPrompts& SetUpOnce() {
    static QuietPrompts prompts;
    static const bool done = [] {
        SetPrompts(&prompts);
        SetDataDir(PARLO_FUZZ_DATA_DIR);
        SetFatalHandler([](const std::string& text) { throw FatalError(text); });
        return true;
    }();
    (void)done;
    return prompts;
}

// A failure the target exists to find: reported, then a crash that the
// fuzzer keeps the input of.
[[noreturn]] inline void Finding(const std::string& what) {
    std::fprintf(stderr, "finding: %s\n", what.c_str());
    std::abort();
}

// A file of this process's own under the temporary folder (or `preferred`
// where that folder exists and $TMPDIR is not set), rewritten for every
// input.
inline std::string ScratchFile(const std::string& suffix, const char* preferred = nullptr) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    if ((tmp == nullptr || *tmp == '\0') && preferred != nullptr && ::access(preferred, W_OK) == 0)
        folder = preferred;
    return folder + "/parlo-fuzz-" + std::to_string(::getpid()) + suffix;
}

inline void WriteScratch(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) Finding("cannot write the scratch file " + path);
    if (size > 0 && std::fwrite(data, 1, size, f) != size) Finding("short scratch write");
    std::fclose(f);
}

}  // namespace parlo::fuzz
