#include "library/EditionFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

CLXEditionFile::CLXEditionFile(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd_);
        fd_ = -1;
    }
    if (fd_ >= 0) size_ = static_cast<std::uint64_t>(info.st_size);
}

CLXEditionFile::~CLXEditionFile() {
    if (fd_ >= 0) ::close(fd_);
}

CLXEditionFile::Read CLXEditionFile::ReadAt(std::uint64_t offset, size_t size,
                                            std::string& out) const {
    if (offset > size_ || size > size_ - offset) return Read::Short;
    out.assign(size, '\0');
    size_t done = 0;
    while (done < size) {
        ssize_t got =
            ::pread(fd_, out.data() + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Read::Failed;
        if (got == 0) return Read::Short;
        done += static_cast<size_t>(got);
    }
    return Read::Ok;
}
