#pragma once

#include <cstdint>
#include <filesystem>

namespace lumo {

enum class SendFileKind { ReaderPackage, Edition, SystemImage, Other };

struct SendFileHead {
    SendFileKind kind = SendFileKind::Other;
    std::uint32_t editionLength = 0;  // the header's length field, for editions
};

// Reads the first word of a file to be sent and, by its kind, the header that kind must have
// (296 bytes for editions and packages, 77 for system images). 0, or 7
// (EB_ERR_CANT_ACCESS_LOCAL_FILE) when the file cannot be opened or its header is short.
int ReadSendFileHead(const std::filesystem::path& path, SendFileHead& head);

}  // namespace lumo
