#include "tests/support/TestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/Fatal.h"

namespace parlo::test {

namespace fs = std::filesystem;

ScopedOverlay::ScopedOverlay(std::vector<std::string> lines) : lines_(std::move(lines)) {
    overlay_.SetLines(lines_);
    previous_ = SetMainOverlay(&overlay_);
}

ScopedOverlay::~ScopedOverlay() { SetMainOverlay(previous_); }

RecordingPrompts::RecordingPrompts() : previous_(SetPrompts(this)) {}
RecordingPrompts::~RecordingPrompts() { SetPrompts(previous_); }

MsgAnswer RecordingPrompts::Message(const std::string& caption, const std::string& text,
                                    MsgIcon icon, MsgButtons buttons) {
    shown.push_back(Shown{caption, text, icon, buttons});
    return answer;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "parlo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

std::vector<std::string> FirstLines(const std::string& text, size_t n) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (lines.size() < n && at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

std::string DataFile(const std::string& name) { return std::string(PARLO_DATA_DIR "/") + name; }

}  // namespace parlo::test

namespace {

// Fatal errors throw, so a test can observe them without ending the run.
class FatalAsException : public ::testing::Environment {
public:
    void SetUp() override {
        parlo::SetFatalHandler(
            [](const std::string& text) { throw parlo::test::FatalError(text); });
    }
};

const auto* const kFatalEnvironment = ::testing::AddGlobalTestEnvironment(new FatalAsException);

}  // namespace
