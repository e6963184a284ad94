#include "cli/CloneSession.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <limits>

#include "app/AppSettings.h"
#include "clone/CloneMessages.h"
#include "model/CloneInfo.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "platform/Scheduler.h"
#include "platform/Screen.h"
#include "platform/TerminalText.h"
#include "platform/qtcore/QtSettingsStore.h"

namespace parlo::cli {

namespace {

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A word that starts like a number (a digit, a sign, a blank) is read as
// one, and must be all digits; anything else names a device.
bool LooksNumeric(const std::string& s) {
    if (s.empty()) return true;
    const auto first = static_cast<unsigned char>(s.front());
    const auto last = static_cast<unsigned char>(s.back());
    return (first >= '0' && first <= '9') || first == '+' || first == '-' ||
           std::isspace(first) != 0 || std::isspace(last) != 0;
}

// The port number of an all-digit word, or 0 when it lies outside 1..max
// (however many digits it has).
int32_t PortNumber(const std::string& word, int32_t max) {
    const std::optional<int64_t> n = ReadInteger(word);
    return n && *n >= 1 && *n <= max ? static_cast<int32_t>(*n) : 0;
}

// The bar whose line is open on the terminal.
TerminalProgress* gBarOnScreen = nullptr;

volatile std::sig_atomic_t gInterrupts = 0;

void OnInterrupt(int) { gInterrupts = gInterrupts + 1; }

// A second interrupt within this long of the warning stops a write.
constexpr auto kStopWindow = std::chrono::seconds(3);

// What the interrupts do, as the event loop sees them: the first cancels
// what may be cancelled and warns that a write whose data flow goes on; a
// second within 3 s of the warning stops such a write after the block being
// sent. Once every session has been told to stop, the next interrupt ends
// the program as usual.
class Interrupts {
public:
    explicit Interrupts(std::vector<std::unique_ptr<CloneSession>>& sessions)
        : sessions_(sessions) {}

    void Poll() {
        while (seen_ != gInterrupts) {
            seen_ = gInterrupts;
            Handle();
        }
    }

private:
    void Handle() {
        const auto now = std::chrono::steady_clock::now();
        const bool second = warned_ && now - warnedAt_ <= kStopWindow;
        bool goesOn = false;
        TerminalProgress::EndLineOnScreen();
        for (auto& s : sessions_) {
            if (s->Finished() || s->Stopping() || s->Cancel()) continue;
            if (second && s->StopAfterBlock()) continue;
            std::fprintf(stderr, "%s: %s %s\n", s->PortText().c_str(),
                         OvlText("GI_Mess_Clone_Progress", 3).c_str(),
                         OvlText("GI_Mess_Clone_Progress", 6).c_str());
            goesOn = true;
        }
        warned_ = goesOn;
        warnedAt_ = now;
        if (!goesOn) std::signal(SIGINT, SIG_DFL);
    }

    std::vector<std::unique_ptr<CloneSession>>& sessions_;
    std::sig_atomic_t seen_ = 0;
    bool warned_ = false;
    std::chrono::steady_clock::time_point warnedAt_;
};

// The port number a device is known by: mapped in [Ports], or the default
// /dev/ttyUSB<n-1>; 0 when it has none.
int32_t NumberOfDevice(const AppSettings& env, const std::string& device) {
    for (int32_t n = 1; n <= AppSettings::kMaxComPort; ++n) {
        if (env.PortDevice(n) == device) return n;
    }
    return 0;
}

}  // namespace

bool ChoosePorts(const char* command, const ParsedArgs& args, bool several,
                 std::vector<PortChoice>* out) {
    qt::QtSettingsStore store;
    const FixedScreen screen;
    const AppSettings env(store, screen, nullptr);
    const bool high = args.Has("--high-speed");
    std::vector<std::string> given = args.Values("--port");
    if (given.size() > 1 && !several) {
        std::fprintf(stderr, "parlo-cli %s: one --port only\n", command);
        return false;
    }
    if (given.empty()) {
        PortChoice p;
        p.number = env.ComPort();
        p.device = env.PortDevice(p.number);
        p.high = high || env.ComSpeedHigh();
        out->push_back(p);
        return true;
    }
    for (const std::string& word : given) {
        PortChoice p;
        p.high = high;
        if (LooksNumeric(word)) {
            p.number = AllDigits(word) ? PortNumber(word, AppSettings::kMaxComPort) : 0;
            if (p.number == 0) {
                std::fprintf(stderr,
                             "parlo-cli %s: --port takes a port number from 1 to %d or a "
                             "device path, not '%s'\n",
                             command, AppSettings::kMaxComPort, word.c_str());
                return false;
            }
            p.device = env.PortDevice(p.number);
        } else {
            p.device = word;
            p.number = NumberOfDevice(env, word);
        }
        for (const PortChoice& q : *out) {
            if (q.device == p.device) {
                std::fprintf(stderr, "parlo-cli %s: %s is named twice\n", command,
                             p.device.c_str());
                return false;
            }
        }
        out->push_back(p);
    }
    return true;
}

ClonePrompts::ClonePrompts(bool named) : named_(named), previous_(SetPrompts(this)) {}

ClonePrompts::~ClonePrompts() { SetPrompts(previous_); }

MsgAnswer ClonePrompts::Message(const std::string& caption, const std::string& text, MsgIcon,
                                MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: {
            TerminalProgress::EndLineOnScreen();
            std::string shown = text;
            if (named_ && caption != OvlText("GI_Sys_AppTitle")) {
                // Every line of it, so that interleaved messages stay apart.
                shown = caption + ": ";
                for (char c : text) shown += c == '\n' ? "\n" + caption + ": " : std::string(1, c);
            }
            std::fprintf(stderr, "%s\n", TerminalText(shown, true).c_str());
            std::fflush(stderr);
            return MsgAnswer::Ok;
        }
        case MsgButtons::OkCancel: return MsgAnswer::Ok;
        default: return MsgAnswer::Yes;
    }
}

TerminalProgress::~TerminalProgress() {
    if (gBarOnScreen == this) gBarOnScreen = nullptr;
}

void TerminalProgress::BeginOperation(bool showProgress) {
    showing_ = enabled_ && showProgress;
    line_.clear();
    shown_.clear();
    if (showing_) gBarOnScreen = this;
}

void TerminalProgress::UpdateProgress(const CloneProgress& p) {
    if (!showing_ || p.total <= 0) return;
    const int32_t width = 32;
    const int32_t filled = std::min(width, static_cast<int32_t>(int64_t{p.done} * width / p.total));
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(width, '.');
    std::string left;
    if (p.secondsLeft >= 0)
        left = ", " + FillIn(OvlText("GI_Mess_Clone_Progress", 1), {std::to_string(p.secondsLeft)});
    line_ = "[" + bar + "] " + std::to_string(static_cast<int>(int64_t{p.done} * 100 / p.total)) +
            "% " + StageText(p.stage) + ": " +
            FillIn(OvlText("GI_Mess_Clone_Progress", 0),
                   {std::to_string(p.done), std::to_string(p.total)}) +
            left;
    if (drawn_ && scheduler().NowMs() - drawnMs_ < kRedrawMs) return;
    Draw();
}

void TerminalProgress::Draw() {
    if (line_.empty() || line_ == shown_) return;
    std::string shown = line_;
    shown.resize(std::max<size_t>(shown.size(), 100), ' ');  // over a longer line before
    std::fprintf(out_, "\r%s", shown.c_str());
    std::fflush(out_);
    shown_ = line_;
    drawn_ = true;
    drawnMs_ = scheduler().NowMs();
}

// Where it stands, however soon after the last drawing; a later change
// draws the bar again on the next line.
void TerminalProgress::EndLine() {
    if (showing_) Draw();
    if (drawn_) std::fputc('\n', out_);
    drawn_ = false;
}

void TerminalProgress::EndOperation() {
    EndLine();
    showing_ = false;
    if (gBarOnScreen == this) gBarOnScreen = nullptr;
}

void TerminalProgress::EndLineOnScreen() {
    if (gBarOnScreen != nullptr) gBarOnScreen->EndLine();
}

CloneSession::CloneSession(const PortChoice& port, bool progress, bool named)
    : port_(port), progress_(progress) {
    std::string problem;
    if (!document_.SelectModel(kVariantLmr, &problem)) fatal(problem);
    document_.NewFromDefaults();
    manager_.SetPort(port.number, port.device);
    manager_.SetHighSpeed(port.high);
    manager_.SetView(&progress_);
    if (named) manager_.SetMessageCaption(PortText());
}

std::string CloneSession::PortText() const { return PortName(port_.number, port_.device); }

std::string CloneSession::Serial() const {
    if (commands_.Identity().empty()) return "-";
    const std::string serial = InfoTexts(commands_.Identity()).serial;
    return serial == " " ? "-" : serial;
}

std::string CloneSession::SecondsText() const {
    const auto tenths =
        (std::chrono::duration_cast<std::chrono::milliseconds>(ended_ - started_).count() + 50) /
        100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

void CloneSession::Start(const std::function<void(parlo::CloneCommands::Done)>& start,
                         std::function<void()> onEnd) {
    started_ = std::chrono::steady_clock::now();
    start([this, onEnd = std::move(onEnd)](int outcome) {
        ended_ = std::chrono::steady_clock::now();
        outcome_ = outcome;
        finished_ = true;
        onEnd();
    });
}

void RunSessions(std::vector<std::unique_ptr<CloneSession>>& sessions,
                 const std::function<void(CloneSession&, parlo::CloneCommands::Done)>& start,
                 const std::function<void(CloneSession&)>& onEnd) {
    QEventLoop loop;
    size_t ended = 0;
    gInterrupts = 0;
    const auto previous = std::signal(SIGINT, OnInterrupt);
    Interrupts interrupts(sessions);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&interrupts] { interrupts.Poll(); });
    poll.start(50);
    for (auto& session : sessions) {
        CloneSession* s = session.get();
        s->Start([&start, s](parlo::CloneCommands::Done done) { start(*s, std::move(done)); },
                 [&, s] {
                     onEnd(*s);
                     if (++ended == sessions.size()) loop.quit();
                 });
    }
    if (ended < sessions.size()) loop.exec();
    std::signal(SIGINT, previous);
}

int ExitStatus(int outcome) {
    if (outcome >= 0) return outcome;
    if (outcome == parlo::CloneCommands::kRefused) return kExitInput;
    if (outcome == parlo::CloneCommands::kBackupFailed) return kExitCantCreate;
    return 1;
}

}  // namespace parlo::cli
