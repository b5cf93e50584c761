// Feeds arbitrary bytes as a font file to both entry points; the converter only analyses, so no
// output is written.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "glyphbake/glyphbake.h"

namespace {

// The entry points take paths, so every input goes through one private file.
class InputFile {
public:
    InputFile() {
        path_ = (std::filesystem::temp_directory_path() / "glyphbake-fuzz-XXXXXX").string();
        const int descriptor = mkstemp(path_.data());
        if (descriptor < 0) std::abort();
        close(descriptor);
    }
    ~InputFile() { std::remove(path_.c_str()); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const char* write(const uint8_t* data, std::size_t size) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
            std::abort();
        }
        return path_.c_str();
    }

private:
    std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static InputFile input;
    const char* path = input.write(data, size);
    char name[257];
    FC_GetFaceName(path, name, sizeof name);
    FC_TTFtoLXF(path, 12, 2, nullptr, 'A', 0, 0);
    return 0;
}
