#include "lumosim/PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace lumosim {
namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

std::optional<unsigned> BitsPerSecond(speed_t speed) {
    switch (speed) {
        case B2400:
            return 2400;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        default:
            return std::nullopt;
    }
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) Fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        close(master_);
        Fail("grantpt/unlockpt");
    }
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        Fail("ptsname_r");
    }
    devicePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        close(master_);
        Fail("open pseudo-terminal slave");
    }
    closeWatch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (closeWatch_ < 0 ||
        inotify_add_watch(closeWatch_, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        close(slave_);
        close(master_);
        Fail("inotify on the pseudo-terminal");
    }
    // Raw from the start, so that nothing the reader sends is echoed or changed before the host
    // sets up the line itself.
    termios line{};
    tcgetattr(slave_, &line);
    cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&line, B57600);
    tcsetattr(slave_, TCSANOW, &line);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal() {
    if (!link_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(link_, ignored);
    }
    close(closeWatch_);
    close(slave_);
    close(master_);
}

void PseudoTerminal::HostClosed() {
    std::array<char, 4096> events;
    while (read(closeWatch_, events.data(), events.size()) > 0) {
    }
    tcflush(slave_, TCIFLUSH);
    ioctl(slave_, TIOCNXCL);
}

std::optional<unsigned> PseudoTerminal::HostSpeed() const {
    termios line{};
    if (tcgetattr(master_, &line) != 0) return std::nullopt;  // the master shows the slave's line
    return BitsPerSecond(cfgetospeed(&line));
}

void PseudoTerminal::LinkAs(const std::filesystem::path& link) {
    std::error_code ignored;
    std::filesystem::remove(link, ignored);
    std::filesystem::create_symlink(devicePath_, link);
    link_ = link;
}

}  // namespace lumosim
