#pragma once
// Modal boxes the core asks for. The GUI shows them as message boxes; the
// command-line tool prints them on stderr and answers from its options.
#include <string>

namespace parlo {

enum class MsgIcon { Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
// Values follow the usual dialog result codes: OK 1, Cancel 2, Yes 6, No 7.
enum class MsgAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual MsgAnswer Message(const std::string& caption, const std::string& text, MsgIcon icon,
                              MsgButtons buttons) = 0;
};

// The process-wide prompts; by default messages go to stderr and every
// question is answered with its first button.
Prompts& prompts();
// Installs p (not owned) and returns the previous one; nullptr restores the
// default.
Prompts* SetPrompts(Prompts* p);

}  // namespace parlo
