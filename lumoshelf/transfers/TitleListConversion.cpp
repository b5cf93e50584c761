#include "transfers/TitleListConversion.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "transfers/PrivateTempDir.h"

namespace lumo {

std::string ConvertReaderTitleListBytes(const std::string& fetched) {
    std::string body;
    body.reserve(fetched.size());
    std::copy_if(fetched.begin(), fetched.end(), std::back_inserter(body),
                 [](char c) { return c != '\r'; });
    if (!body.empty()) body.pop_back();
    return "[LumoBook]\r\n" + body;
}

bool ConvertReaderTitleList(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string fetched{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) return false;
    in.close();

    const std::string converted = ConvertReaderTitleListBytes(fetched);
    std::filesystem::path next = path;
    next += ".converted";
    const int fd = CreatePrivateFile(next);
    if (fd < 0) return false;
    const bool written =
        ::write(fd, converted.data(), converted.size()) == static_cast<ssize_t>(converted.size());
    if (::close(fd) != 0 || !written) {
        std::filesystem::remove(next);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(next, path, error);
    return !error;
}

}  // namespace lumo
