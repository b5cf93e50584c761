// Reader software packages come from the server and from any file the user sends: the table and
// every part must be read without trusting a count, length, offset or name.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "transfers/PrivateTempDir.h"
#include "transfers/ReaderPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path folder = lumo::PrivateTempDir();
    const std::filesystem::path input = folder / "package.lx";
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                 static_cast<std::streamsize>(size));
    lumo::ReaderPackage package;
    if (package.Open(input) == 0) {
        for (const lumo::PackagePart& part : package.PartsToSend()) {
            int fileType = 0;
            if (package.ReadPartFileType(part, fileType) != 0) break;
            const std::filesystem::path target = folder / part.name;
            if (target.parent_path() != folder) __builtin_trap();
            package.WritePart(part, target);
            std::filesystem::remove(target);
        }
    }
    std::filesystem::remove(input);
    return 0;
}
