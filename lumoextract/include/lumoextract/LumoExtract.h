#pragma once

#include <cstdint>
#include <fstream>
#include <string>

// Reads the package entry ("package.opf") of an edition file and writes it out as a file of its
// own, so that its XML can be read.
class CLumoExtractDLL {
public:
    static constexpr const char* kPackageEntryName = "package.opf";

    // 0 when the file is an edition that holds a package entry; non-zero otherwise.
    int Open(const char* editionPath);
    // Writes the package entry into directory as "package.opf" and returns its path in
    // extractedPath; 0 on success.
    int ExtractPackageFile(const char* directory, std::string& extractedPath);
    void Close();

private:
    std::ifstream m_edition;
    std::uint32_t m_packageOffset = 0;
    std::uint32_t m_packageLength = 0;
};
