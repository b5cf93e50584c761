// The profile reader and the reader title list fields on top of it.
#include <cstdint>
#include <string>

#include "library/ProfileReader.h"
#include "library/ReaderTitleList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CLXProfileReader reader(text);
    reader.GetString("LumoBook", "Title", "[none]", 16);
    reader.GetInt("LumoBook", "TITLECOUNT", -1);

    CLXReaderTitleList list;
    list.LoadFromText(text);
    int count = 0;
    list.Count(count);
    std::string value;
    for (int index = 0; index < count && index < 64; ++index) {
        list.Field(index, "filename", value);
        list.Field(index, "title", value);
        list.HasMarkupKind(index, 1);
    }
    return 0;
}
