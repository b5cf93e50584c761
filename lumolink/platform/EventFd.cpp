#include "lumolink/platform/EventFd.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace lumolink {

EventFd::EventFd() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    // Without its events the link cannot run at all; there is nothing sensible to fall back on.
    if (fd_ < 0) std::abort();
}

EventFd::~EventFd() { close(fd_); }

void EventFd::Signal() {
    const uint64_t one = 1;
    while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool EventFd::Consume() {
    uint64_t value = 0;
    return read(fd_, &value, sizeof value) == sizeof value;
}

}  // namespace lumolink
