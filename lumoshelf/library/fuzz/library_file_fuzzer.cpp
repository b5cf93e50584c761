// The library file reader: any bytes give a library or a clean refusal, and a library that was
// read stores and reads back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/LibraryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    LibraryContents contents;
    std::string error;
    if (!LoadLibrary(std::string_view(reinterpret_cast<const char*>(data), size), contents, error))
        return 0;
    const std::string stored = StoreLibrary(contents);
    LibraryContents again;
    if (!LoadLibrary(stored, again, error) || StoreLibrary(again) != stored) std::abort();
    return 0;
}
