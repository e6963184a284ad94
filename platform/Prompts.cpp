#include "platform/Prompts.h"

#include <cstdio>

namespace parlo {

namespace {

class StderrPrompts : public Prompts {
public:
    MsgAnswer Message(const std::string&, const std::string& text, MsgIcon,
                      MsgButtons buttons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        switch (buttons) {
            case MsgButtons::Ok:
            case MsgButtons::OkCancel: return MsgAnswer::Ok;
            default: return MsgAnswer::Yes;
        }
    }
};

StderrPrompts& DefaultPrompts() {
    static StderrPrompts p;
    return p;
}

Prompts*& Current() {
    static Prompts* p = nullptr;
    return p;
}

}  // namespace

Prompts& prompts() { return Current() ? *Current() : DefaultPrompts(); }

Prompts* SetPrompts(Prompts* p) {
    Prompts* old = Current();
    Current() = p;
    return old;
}

}  // namespace parlo
