#pragma once
// What the X benchmarks watch on the display: windows created and mapped,
// and the DAMAGE extension's reports of what was drawn into them, each with
// the moment it reached this process.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace parlo::bench {

using Clock = std::chrono::steady_clock;
// Xlib's types without its macros, which clash with Qt's names.
using XWindow = unsigned long;

inline double MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

class XSession {
public:
    // Opens the display of $DISPLAY; Ok() tells whether that worked and the
    // server has the DAMAGE extension.
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool Ok() const { return display_ != nullptr && damageEvent_ >= 0; }
    const std::string& Problem() const { return problem_; }
    // The connection, as Xlib's Display*.
    void* Dpy() const { return display_; }
    int Fd() const;
    int DamageEventBase() const { return damageEvent_; }

    // Reports drawing into `window` from now on (raw rectangles, each an event).
    void WatchDamage(XWindow window);
    // Forgets every watched window (their damage objects are freed).
    void ForgetAll();
    // The process that set _NET_WM_PID on `window`, or 0.
    pid_t WindowPid(XWindow window);
    // Asks the window to close, as the window manager's close button does.
    void RequestClose(XWindow window);
    // Waits at most `ms` for readable events: false when none came.
    bool WaitForEvents(int ms);
    // Reads every event that has come: the pixels reported drawn into
    // `window` (0: none).
    long DrainDamage(XWindow window);

    // Input as a mouse's or a keyboard's, through XTEST.
    bool HasXTest() const;
    void PointerTo(int x, int y);
    void Click();
    // A key by its keysym name ("Down", "space").
    void Key(const char* name);
    void Flush();

private:
    void* display_ = nullptr;
    int damageEvent_ = -1;
    std::string problem_;
    std::vector<unsigned long> damages_;
    unsigned long pidAtom_ = 0, protocolsAtom_ = 0, deleteAtom_ = 0;
};

// Order statistics of a set of timings.
double Percentile(std::vector<double> values, double fraction);
// `value` with `decimals` decimals right-aligned in `width` columns, "."
// before the decimals whatever the locale; "-" for none (NaN).
std::string Column(double value, int width, int decimals = 1);

}  // namespace parlo::bench
