#include "cli/CloneSession.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "app/AppSettings.h"
#include "clone/CloneInfo.h"
#include "clone/CloneMessages.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "platform/Screen.h"
#include "platform/qtcore/QtSettingsStore.h"

namespace parlo::cli {

namespace {

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

volatile std::sig_atomic_t gInterrupted = 0;

// The next interrupt ends the program as usual.
void OnInterrupt(int) {
    gInterrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

void CancelAll(std::vector<std::unique_ptr<CloneSession>>& sessions) {
    for (auto& s : sessions) {
        if (s->Finished() || s->Cancel()) continue;
        std::fprintf(stderr, "%s: %s\n", s->PortText().c_str(),
                     OvlText("GI_Mess_Clone_Progress", 3).c_str());
    }
}

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
        if (AllDigits(word)) {
            p.number = static_cast<int>(
                std::min<int64_t>(ReadInteger(word).value_or(0), std::numeric_limits<int>::max()));
            if (p.number < 1 || p.number > AppSettings::kMaxComPort) {
                std::fprintf(stderr, "parlo-cli %s: port numbers run from 1 to %d\n", command,
                             AppSettings::kMaxComPort);
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

MsgAnswer ClonePrompts::Message(const std::string& caption, const std::string& text, MsgIcon icon,
                                MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: {
            std::string shown = text;
            if (named_ && caption != OvlText("GI_Sys_AppTitle")) {
                // Every line of it, so that interleaved messages stay apart.
                shown = caption + ": ";
                for (char c : text) shown += c == '\n' ? "\n" + caption + ": " : std::string(1, c);
            }
            std::fprintf(icon == MsgIcon::Information ? stdout : stderr, "%s\n", shown.c_str());
            std::fflush(icon == MsgIcon::Information ? stdout : stderr);
            return MsgAnswer::Ok;
        }
        case MsgButtons::OkCancel: return MsgAnswer::Ok;
        default: return MsgAnswer::Yes;
    }
}

void TerminalProgress::BeginOperation(bool showProgress) { showing_ = enabled_ && showProgress; }

void TerminalProgress::UpdateProgress(const CloneProgress& p) {
    if (!showing_ || p.total <= 0) return;
    const int32_t width = 32;
    const int32_t filled = std::min(width, static_cast<int32_t>(int64_t{p.done} * width / p.total));
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(width, '.');
    std::string left;
    if (p.secondsLeft >= 0)
        left = ", " + FillIn(OvlText("GI_Mess_Clone_Progress", 1), {std::to_string(p.secondsLeft)});
    std::string line = "[" + bar + "] " +
                       std::to_string(static_cast<int>(int64_t{p.done} * 100 / p.total)) + "% " +
                       StageText(p.stage) + ": " +
                       FillIn(OvlText("GI_Mess_Clone_Progress", 0),
                              {std::to_string(p.done), std::to_string(p.total)}) +
                       left;
    line.resize(std::max<size_t>(line.size(), 100), ' ');  // over a longer line before
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void TerminalProgress::EndOperation() {
    if (drawn_) std::fputc('\n', stderr);
    drawn_ = showing_ = false;
}

CloneSession::CloneSession(const PortChoice& port, bool progress, bool named)
    : port_(port), progress_(progress) {
    std::string failed;
    if (!document_.SelectModel(kVariantLmr, &failed)) fatal("Cannot open '" + failed + "'.");
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

double CloneSession::Seconds() const {
    return std::chrono::duration<double>(ended_ - started_).count();
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
    gInterrupted = 0;
    const auto previous = std::signal(SIGINT, OnInterrupt);
    QTimer interrupts;
    QObject::connect(&interrupts, &QTimer::timeout, [&sessions] {
        if (gInterrupted != 1) return;
        gInterrupted = 2;
        CancelAll(sessions);
    });
    interrupts.start(50);
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

std::string OutcomeText(int outcome) {
    if (outcome == kCloneCancelled) return OvlText("GI_Mess_Clone_Progress", 5);
    if (outcome > 0) return OvlText("GI_Mess_CloneErr_Head", outcome);
    return {};
}

int ExitStatus(int outcome) {
    if (outcome >= 0) return outcome;
    if (outcome == parlo::CloneCommands::kRefused) return kExitInput;
    if (outcome == parlo::CloneCommands::kBackupFailed) return kExitCantCreate;
    return 1;
}

}  // namespace parlo::cli
