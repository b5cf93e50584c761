#include "transfers/SendDescription.h"

#include <array>
#include <filesystem>
#include <fstream>

#include "library/FileUtil.h"
#include "library/StringTable.h"
#include "lumoextract/LumoExtract.h"
#include "lxxmlparser/LXXMLParser.h"
#include "transfers/EditionFormat.h"
#include "transfers/PrivateTempDir.h"

namespace lumo {
namespace {

constexpr int kCantAccessLocalFile = 7;
constexpr const char* kTitlePath = "package/metadata/dc-metadata/Title";

// Empty when the file is no package at all; "Title" when its package names no title.
std::string PackageTitle(const std::string& editionPath) {
    CLumoExtractDLL extractor;
    if (extractor.Open(editionPath.c_str()) != 0) return {};
    std::string title = LXString(61450);
    std::string extracted;
    try {
        if (extractor.ExtractPackageFile(PrivateTempDir().c_str(), extracted) == 0) {
            std::array<char, 100> buffer{};
            CLXXMLParser parser;
            if (parser.m_fnLXGetXMLPath(extracted.c_str(), kTitlePath, buffer.data(),
                                        buffer.size()) == 0) {
                title = buffer.data();
            }
        }
    } catch (const std::filesystem::filesystem_error&) {
    }
    extractor.Close();
    if (!extracted.empty()) {
        std::error_code ignored;
        std::filesystem::remove(extracted, ignored);
    }
    return title;
}

}  // namespace

int DescribeSendFile(const std::string& localPath, std::string& description) {
    const std::string extension = LowerExtension(localPath);
    if (extension == ".la" || extension == ".lh" || extension == ".ln") {
        description = LXString(311);
        return 0;
    }
    if (extension == ".lxf") {
        description = LXString(375);
        return 0;
    }
    if (extension != ".lx") {
        description = LXString(376);
        return 0;
    }
    std::ifstream file(localPath, std::ios::binary);
    std::array<unsigned char, kEditionHeaderSize> header{};
    file.read(reinterpret_cast<char*>(header.data()), header.size());
    if (static_cast<std::size_t>(file.gcount()) != header.size()) return kCantAccessLocalFile;
    file.close();
    description =
        ReadLe32(header.data()) == kReaderPackageMagic ? std::string() : PackageTitle(localPath);
    return 0;
}

}  // namespace lumo
