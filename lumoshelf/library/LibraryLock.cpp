#include "library/LibraryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

CLXLibraryLock::Result CLXLibraryLock::Acquire(const std::string& libraryPath) {
    Release();
    int fd =
        ::open(LockPathFor(libraryPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Result::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Result::HeldElsewhere : Result::Unavailable;
    }
    fd_ = fd;
    return Result::Held;
}

void CLXLibraryLock::Release() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}
