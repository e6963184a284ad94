#pragma once
// The desktop's clipboard as text, shared with other programs (a
// spreadsheet). The desktop program installs one over its toolkit's
// clipboard; without it (tests, the command line) the text stays in the
// process.
#include <string>

namespace parlo {

class SystemClipboard {
public:
    virtual ~SystemClipboard() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

// A clipboard that lives only in this process.
class ProcessClipboard : public SystemClipboard {
public:
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }

private:
    std::string text_;
};

}  // namespace parlo
