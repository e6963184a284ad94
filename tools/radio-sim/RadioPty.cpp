#include "tools/radio-sim/RadioPty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace parlo::sim {

int64_t NowNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

namespace {

struct SpeedCode {
    speed_t code;
    int32_t baud;
};
constexpr SpeedCode kSpeeds[] = {{B1200, 1200},   {B2400, 2400},    {B4800, 4800},
                                 {B9600, 9600},   {B19200, 19200},  {B38400, 38400},
                                 {B57600, 57600}, {B115200, 115200}};

}  // namespace

RadioPty::RadioPty(Radio& radio, bool pace) : radio_(radio), pace_(pace) {}

RadioPty::~RadioPty() { HangUp(); }

void RadioPty::HangUp() {
    if (slaveHold_ >= 0) ::close(slaveHold_);
    if (master_ >= 0) ::close(master_);
    slaveHold_ = master_ = -1;
}

bool RadioPty::Open(std::string* error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    slaveHold_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slaveHold_ < 0) {
        *error = std::string("cannot open ") + name + ": " + std::strerror(errno);
        return false;
    }
    // No echo or line editing on the terminal side before anyone sets it up.
    termios t{};
    ::tcgetattr(slaveHold_, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(slaveHold_, TCSANOW, &t);
    return true;
}

// The speed the computer's side has set.
int32_t RadioPty::Baud() const {
    termios t{};
    int32_t baud = 9600;
    if (::tcgetattr(master_, &t) == 0) {
        const speed_t code = ::cfgetospeed(&t);
        for (const SpeedCode& s : kSpeeds) {
            if (s.code == code) baud = s.baud;
        }
    }
    return baud;
}

void RadioPty::Take(const uint8_t* bytes, int32_t n) {
    const int64_t now = NowNs();
    const int32_t baud = Baud();
    const int64_t charNs = 10LL * 1000000000 / baud;
    const int64_t step = pace_ ? charNs : 0;
    radio_.SetLineBaud(baud);
    ByteQueue echo;
    ByteQueue answer;
    for (int32_t i = 0; i < n; ++i) {
        echo.Clear();
        answer.Clear();
        const int64_t requests = radio_.Requests();
        radio_.Receive(bytes[i], echo, answer);
        ++fromComputer_;
        // The computer's byte occupies the line; its echo arrives as it ends.
        lineFreeNs_ = std::max(lineFreeNs_, now) + step;
        lineNs_ += charNs;
        for (int32_t k = 0; k < echo.Length(); ++k) out_.push_back({lineFreeNs_, echo.At(k)});
        if (radio_.Requests() != requests) {
            requestEndNs_ = lineFreeNs_;
            lineNsAtRequest_ = lineNs_.load();
        }
        Answer(answer, step, charNs);
    }
}

void RadioPty::Answer(const ByteQueue& answer, int64_t step, int64_t charNs) {
    lineFreeNs_ = std::max(lineFreeNs_, NowNs());
    for (int32_t k = 0; k < answer.Length(); ++k) {
        lineFreeNs_ += step;
        out_.push_back({lineFreeNs_, answer.At(k)});
    }
    fromRadio_ += answer.Length();
    lineNs_ += charNs * answer.Length();
}

void RadioPty::Flush(int64_t nowNs) {
    uint8_t chunk[512];
    while (!out_.empty() && out_.front().atNs <= nowNs) {
        int32_t n = 0;
        for (auto it = out_.begin(); it != out_.end() && it->atNs <= nowNs && n < 512; ++it) {
            chunk[n++] = it->byte;
        }
        const ssize_t written = ::write(master_, chunk, static_cast<size_t>(n));
        if (written <= 0) return;  // the terminal side is full: try again later
        out_.erase(out_.begin(), out_.begin() + written);
    }
}

void RadioPty::Run(const std::atomic<bool>& stop) {
    uint8_t buffer[4096];
    while (!stop.load()) {
        const int64_t now = NowNs();
        ByteQueue own;
        radio_.Tick(now / 1000000, own);
        if (own.Length() > 0) {
            const int64_t charNs = 10LL * 1000000000 / Baud();
            Answer(own, pace_ ? charNs : 0, charNs);
        }
        Flush(now);
        // A pulled cable: once what was on its way has crossed, the line
        // hangs up, as it does when the radio's end is gone.
        if (radio_.Unplugged() && out_.empty()) {
            HangUp();
            return;
        }
        pollfd p{master_, POLLIN, 0};
        int64_t waitNs = 50000000;
        if (const int64_t tickMs = radio_.NextTickMs(); tickMs >= 0) {
            waitNs = std::clamp(tickMs * 1000000 - now, int64_t{0}, waitNs);
        }
        if (!out_.empty()) {
            if (out_.front().atNs <= now) {
                p.events |= POLLOUT;  // due bytes wait for room
            } else {
                waitNs = std::min(waitNs, out_.front().atNs - now);
            }
        }
        const timespec timeout{static_cast<time_t>(waitNs / 1000000000),
                               static_cast<long>(waitNs % 1000000000)};
        if (::ppoll(&p, 1, &timeout, nullptr) <= 0) continue;
        if ((p.revents & POLLIN) != 0) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) Take(buffer, static_cast<int32_t>(n));
        }
    }
}

}  // namespace parlo::sim
