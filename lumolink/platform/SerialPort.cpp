#include "lumolink/platform/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace lumolink {

unsigned SpeedConstant(int bitsPerSecond) {
    switch (bitsPerSecond) {
        case 115200:
            return B115200;
        case 57600:
            return B57600;
        case 19200:
            return B19200;
        case 9600:
            return B9600;
        case 2400:
            return B2400;
        default:
            return 0;
    }
}

PPP_CONN_ERR SerialPort::Open(const std::string& path) {
    Close();
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lastOsError_ = errno;
        return PPP_CONN_ERR_CANT_ACCESS_PORT;
    }
    // A tty is not exclusive on Linux: another program (or a modem manager) holding the lock
    // means the port is taken.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        lastOsError_ = errno == EWOULDBLOCK ? EBUSY : errno;
        close(fd);
        return PPP_CONN_ERR_CANT_ACCESS_PORT;
    }
    fd_ = fd;
    return PPP_CONN_ERR_SUCCESS;
}

PPP_CONN_ERR SerialPort::SetSpeed(int bitsPerSecond) {
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) {
        lastOsError_ = errno;
        return PPP_CONN_ERR_SETUPCOM_GETSTATE;
    }
    // The tty's own line discipline (echo, CR/LF mapping, XON/XOFF, signals) would corrupt
    // frames, so nothing of it is kept.
    cfmakeraw(&tio);
    // cfmakeraw leaves input flow control on: the tty would put XOFF/XON into our frames.
    tio.c_iflag &= ~(IXOFF | IXANY);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
    tio.c_cflag |= CS8;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const unsigned speed = SpeedConstant(bitsPerSecond);
    if (speed == 0 || cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0 ||
        tcsetattr(fd_, TCSANOW, &tio) != 0) {
        lastOsError_ = speed == 0 ? EINVAL : errno;
        return PPP_CONN_ERR_SETUPCOM_SETSTATE;
    }
    // Pseudo-terminals have no modem lines; RTS matters only on real ports.
    const int rts = TIOCM_RTS;
    ioctl(fd_, TIOCMBIS, &rts);
    return PPP_CONN_ERR_SUCCESS;
}

void SerialPort::Close() {
    if (fd_ < 0) return;
    close(fd_);
    fd_ = -1;
}

long SerialPort::ReadAvailable(std::span<uint8_t> buffer) {
    for (;;) {
        const ssize_t n = read(fd_, buffer.data(), buffer.size());
        if (n > 0) return n;
        if (n == 0) {
            // A tty read of 0 in raw mode with VMIN 0 means nothing waits; a hang-up shows
            // through poll instead.
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return 0;
        lastOsError_ = errno;
        return -1;
    }
}

bool SerialPort::WriteAll(std::span<const uint8_t> bytes, int waitMs, int wakeFd) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.subspan(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            lastOsError_ = errno;
            return false;
        }
        pollfd fds[2] = {{fd_, POLLOUT, 0}, {wakeFd, POLLIN, 0}};
        const int ready = poll(fds, 2, waitMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || (fds[1].revents & POLLIN) || (fds[0].revents & (POLLERR | POLLHUP))) {
            lastOsError_ = ready < 0 ? errno : 0;
            return false;
        }
    }
    return true;
}

}  // namespace lumolink
