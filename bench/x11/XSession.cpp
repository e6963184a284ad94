#include "bench/x11/XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <algorithm>
#include <cmath>

#include "platform/NumberText.h"

namespace parlo::bench {

namespace {

// Windows come and go while they are watched: a request about one already
// gone is no fault of the benchmark.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

Display* D(void* display) { return static_cast<Display*>(display); }

}  // namespace

XSession::XSession() {
    Display* display = XOpenDisplay(nullptr);
    display_ = display;
    if (display == nullptr) {
        problem_ = "cannot open the X display (DISPLAY unset or no server)";
        return;
    }
    XSetErrorHandler(IgnoreErrors);
    int error = 0;
    if (!XDamageQueryExtension(display, &damageEvent_, &error)) {
        damageEvent_ = -1;
        problem_ = "the X server has no DAMAGE extension";
        return;
    }
    pidAtom_ = XInternAtom(display, "_NET_WM_PID", False);
    protocolsAtom_ = XInternAtom(display, "WM_PROTOCOLS", False);
    deleteAtom_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
}

XSession::~XSession() {
    if (display_ == nullptr) return;
    ForgetAll();
    XCloseDisplay(D(display_));
}

int XSession::Fd() const { return ConnectionNumber(D(display_)); }

void XSession::WatchDamage(XWindow window) {
    damages_.push_back(XDamageCreate(D(display_), window, XDamageReportRawRectangles));
}

void XSession::ForgetAll() {
    for (Damage d : damages_) XDamageDestroy(D(display_), d);
    damages_.clear();
    XSync(D(display_), False);
}

pid_t XSession::WindowPid(XWindow window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(D(display_), window, pidAtom_, 0, 1, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32 && count == 1)
        pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr) XFree(data);
    return pid;
}

void XSession::RequestClose(XWindow window) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = protocolsAtom_;
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(deleteAtom_);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(D(display_), window, False, NoEventMask, &e);
    XFlush(D(display_));
}

bool XSession::WaitForEvents(int ms) {
    if (XPending(D(display_)) > 0) return true;
    pollfd fd{Fd(), POLLIN, 0};
    return ::poll(&fd, 1, std::max(0, ms)) > 0 && XPending(D(display_)) > 0;
}

long XSession::DrainDamage(XWindow window) {
    long pixels = 0;
    while (XPending(D(display_)) > 0) {
        XEvent e;
        XNextEvent(D(display_), &e);
        if (e.type != damageEvent_ + XDamageNotify) continue;
        const auto& damage = reinterpret_cast<XDamageNotifyEvent&>(e);
        // An empty rectangle still says the window was drawn into.
        if (damage.drawable == window)
            pixels += std::max(1L, long(damage.area.width) * long(damage.area.height));
    }
    return pixels;
}

bool XSession::HasXTest() const {
    int event = 0, error = 0, major = 0, minor = 0;
    return XTestQueryExtension(D(display_), &event, &error, &major, &minor);
}

void XSession::PointerTo(int x, int y) {
    XTestFakeMotionEvent(D(display_), -1, x, y, CurrentTime);
    XFlush(D(display_));
}

void XSession::Click() {
    XTestFakeButtonEvent(D(display_), 1, True, CurrentTime);
    XTestFakeButtonEvent(D(display_), 1, False, CurrentTime);
}

void XSession::Key(const char* name) {
    const KeyCode code = XKeysymToKeycode(D(display_), XStringToKeysym(name));
    XTestFakeKeyEvent(D(display_), code, True, CurrentTime);
    XTestFakeKeyEvent(D(display_), code, False, CurrentTime);
}

void XSession::Flush() { XFlush(D(display_)); }

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    // The nearest rank: the value at or above the fraction of the samples.
    const double rank = std::ceil(fraction * static_cast<double>(values.size()));
    const size_t at = static_cast<size_t>(std::clamp(rank, 1.0, double(values.size()))) - 1;
    return values[at];
}

std::string Column(double value, int width, int decimals) {
    std::string text = std::isnan(value) ? "-" : RealText(value, decimals);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace parlo::bench
