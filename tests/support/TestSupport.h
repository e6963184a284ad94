#pragma once
// Shared helpers of the test suite: fatal errors become exceptions, overlays
// and prompts can be replaced for one test, temporary folders clean up.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "overlay/OverlayText.h"
#include "platform/Prompts.h"

namespace parlo::test {

// Thrown by the test suite's fatal handler in place of ending the process.
struct FatalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Expects `statement` to raise the fatal error with exactly `text`.
#define EXPECT_FATAL(statement, text)                                \
    do {                                                             \
        try {                                                        \
            statement;                                               \
            ADD_FAILURE() << "expected the fatal error: " << (text); \
        } catch (const ::parlo::test::FatalError& e) {               \
            EXPECT_EQ(std::string(e.what()), std::string(text));     \
        }                                                            \
    } while (0)

// Installs an in-memory main overlay for the life of the object.
class ScopedOverlay {
public:
    explicit ScopedOverlay(std::vector<std::string> lines);
    ~ScopedOverlay();
    OverlayText& overlay() { return overlay_; }

private:
    std::vector<std::string> lines_;
    OverlayText overlay_;
    OverlayText* previous_;
};

// Records every message instead of showing it, answering with `answer`.
class RecordingPrompts : public Prompts {
public:
    struct Shown {
        std::string caption, text;
        MsgIcon icon;
        MsgButtons buttons;
    };
    RecordingPrompts();
    ~RecordingPrompts() override;
    MsgAnswer Message(const std::string& caption, const std::string& text, MsgIcon icon,
                      MsgButtons buttons) override;
    std::vector<Shown> shown;
    MsgAnswer answer = MsgAnswer::Ok;

private:
    Prompts* previous_;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::filesystem::path path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
// The first `n` lines of a text, each without its line end (LF or CRLF).
std::vector<std::string> FirstLines(const std::string& text, size_t n);

// The shipped data folder (the build tree's bin folder).
std::string DataFile(const std::string& name);

}  // namespace parlo::test
