// The edition reader, fed through an in-memory file so that every offset and length in the
// input is checked against a real file size.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "library/LXCard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    int fd = ::memfd_create("edition", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (::write(fd, data, size) == static_cast<ssize_t>(size)) {
        CLXCard card;
        card.ReadFromEdition("/proc/self/fd/" + std::to_string(fd));
        std::string name;
        card.EditionFileName(name);
    }
    ::close(fd);
    return 0;
}
