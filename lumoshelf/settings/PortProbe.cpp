#include "settings/PortProbe.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumo {
namespace {

PortProbeCode CodeForOpenError(int error) {
    switch (error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case EIO:
            return kPortAbsent;
        case EACCES:
        case EPERM:
        case EBUSY:
        case EWOULDBLOCK:
            return kPortInUse;
        default:
            return kPortUnknown;
    }
}

// A serial driver's port without a UART reports the type "unknown".
bool HasNoUart(int fd) {
    serial_struct info{};
    return ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
}

}  // namespace

PortProbeCode ProbeSerialPort(const std::string& devicePath, std::string& errorText) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const PortProbeCode code = CodeForOpenError(error);
        if (code == kPortUnknown) errorText = std::strerror(error);
        return code;
    }
    PortProbeCode code = kPortPresent;
    if (HasNoUart(fd)) {
        code = kPortAbsent;
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        code = kPortInUse;
    }
    ::close(fd);
    return code;
}

const char* PortProbeText(PortProbeCode code) {
    switch (code) {
        case kPortAbsent:
            return "Port Absent";
        case kPortPresent:
            return "Port Present";
        case kPortInUse:
            return "Port Present, Other Device Attached";
        case kPortUnknown:
            break;
    }
    return "Unknown";
}

}  // namespace lumo
