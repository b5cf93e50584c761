// Editions come from the auto-add folder, drops and the server: their table of contents and the
// package entry are read without trusting a count, length or offset.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "lumoextract/LumoExtract.h"

namespace {

// A private folder for the inputs and what is extracted from them, removed at exit.
struct ScratchFolder {
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "extract-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) __builtin_trap();
        path = pattern;
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path;
    const std::filesystem::path input = folder / "edition.lx";
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    CLumoExtractDLL extractor;
    std::string extracted;
    if (extractor.Open(input.c_str()) == 0 &&
        extractor.ExtractPackageFile(folder.c_str(), extracted) == 0) {
        std::filesystem::remove(extracted);
    }
    extractor.Close();
    std::filesystem::remove(input);
    return 0;
}
