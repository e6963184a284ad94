#include "platform/posix/TermiosSerial.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace parlo {

namespace {

struct BaudCode {
    int32_t baud;
    speed_t code;
};
constexpr BaudCode kBauds[] = {{1200, B1200},   {2400, B2400},    {4800, B4800},
                               {9600, B9600},   {19200, B19200},  {38400, B38400},
                               {57600, B57600}, {115200, B115200}};

std::string GroupOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    if (const group* g = ::getgrgid(st.st_gid)) return g->gr_name;
    return std::to_string(st.st_gid);
}

SerialOpenFailure FailureFor(const std::string& path, int error) {
    SerialOpenFailure f;
    f.device = path;
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR: f.reason = SerialOpenFailure::Reason::NotFound; break;
        case EACCES:
        case EPERM:
            f.reason = SerialOpenFailure::Reason::PermissionDenied;
            f.group = GroupOf(path);
            break;
        case EBUSY:
        case EWOULDBLOCK: f.reason = SerialOpenFailure::Reason::Busy; break;
        default:
            f.reason = SerialOpenFailure::Reason::Other;
            f.detail = std::strerror(error);
            break;
    }
    return f;
}

// Pseudo-terminals and some adapters have no modem lines; that is no error.
bool SetModemLine(int fd, unsigned long request, int line) {
    if (::ioctl(fd, request, &line) == 0) return true;
    return errno == ENOTTY || errno == EINVAL;
}

}  // namespace

std::unique_ptr<SerialDevice> NewSerialDevice() { return std::make_unique<TermiosSerial>(); }

TermiosSerial::~TermiosSerial() { Close(); }

bool TermiosSerial::Open(const std::string& path, SerialOpenFailure* why) {
    if (fd_ >= 0) return false;
    SerialOpenFailure failure;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failure = FailureFor(path, errno);
    } else if (!::isatty(fd)) {
        failure.reason = SerialOpenFailure::Reason::NotSerial;
        failure.device = path;
        ::close(fd);
    } else if (::ioctl(fd, TIOCEXCL) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failure = FailureFor(path, errno);
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
    } else {
        fd_ = fd;
        return true;
    }
    if (why != nullptr) *why = failure;
    return false;
}

void TermiosSerial::Close() {
    if (fd_ < 0) return;
    // Exclusive mode outlives this descriptor while another one is open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

bool TermiosSerial::Configure(const SerialLine& line) {
    if (fd_ < 0) return false;
    speed_t speed = 0;
    for (const BaudCode& b : kBauds) {
        if (b.baud == line.baud) speed = b.code;
    }
    if (speed == 0) return false;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    if (line.parityCheck) t.c_iflag |= INPCK;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CLOCAL | CREAD;
    static constexpr tcflag_t kSizes[] = {CS5, CS5, CS6, CS7, CS8};
    t.c_cflag |= kSizes[line.dataBits <= 4 ? 0 : (line.dataBits >= 8 ? 4 : line.dataBits - 4)];
    // termios knows no one and a half stop bits; two come closest.
    if (line.stopBits != StopBits::One) t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
    return SetModemLine(fd_, TIOCMBIC, TIOCM_DTR) && SetModemLine(fd_, TIOCMBIS, TIOCM_RTS);
}

bool TermiosSerial::Purge() { return fd_ >= 0 && ::tcflush(fd_, TCIOFLUSH) == 0; }

int32_t TermiosSerial::InputCount() {
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) != 0) return -1;
    return n;
}

int32_t TermiosSerial::OutputCount() {
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCOUTQ, &n) != 0) return -1;
    return n;
}

int32_t TermiosSerial::Read(uint8_t* buffer, int32_t max) {
    if (fd_ < 0 || max <= 0) return fd_ < 0 ? -1 : 0;
    const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(max));
    if (n >= 0) return static_cast<int32_t>(n);
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

int32_t TermiosSerial::Write(const uint8_t* data, int32_t n) {
    if (fd_ < 0) return -1;
    if (n <= 0) return 0;
    const ssize_t written = ::write(fd_, data, static_cast<size_t>(n));
    if (written >= 0) return static_cast<int32_t>(written);
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

}  // namespace parlo
