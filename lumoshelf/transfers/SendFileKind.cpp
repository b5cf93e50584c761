#include "transfers/SendFileKind.h"

#include <array>
#include <fstream>

#include "transfers/EditionFormat.h"

namespace lumo {

int ReadSendFileHead(const std::filesystem::path& path, SendFileHead& head) {
    constexpr int kCantAccessLocalFile = 7;
    std::ifstream file(path, std::ios::binary);
    if (!file) return kCantAccessLocalFile;
    std::array<unsigned char, kEditionHeaderSize> bytes{};
    file.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    const auto got = static_cast<std::size_t>(file.gcount());
    head = SendFileHead{};
    if (got < 4) return kCantAccessLocalFile;
    switch (ReadLe32(bytes.data())) {
        case kReaderPackageMagic:
            head.kind = SendFileKind::ReaderPackage;
            return got == kEditionHeaderSize ? 0 : kCantAccessLocalFile;
        case kEditionMagic:
            head.kind = SendFileKind::Edition;
            head.editionLength = ReadLe32(bytes.data() + kEditionLengthField);
            return got == kEditionHeaderSize ? 0 : kCantAccessLocalFile;
        case kSystemImageMagic:
            head.kind = SendFileKind::SystemImage;
            return got >= kSystemImageHeaderSize ? 0 : kCantAccessLocalFile;
        default:
            return 0;
    }
}

}  // namespace lumo
