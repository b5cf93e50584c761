#include "library/LibraryFile.h"

#include <algorithm>

#include "library/Archive.h"

std::string StoreLibrary(LibraryContents& contents) {
    CLXArchiveWriter archive;
    archive.Reserve(contents.cards.size() * 256 + 1024);
    archive.WriteCount(contents.cards.size());
    for (CLXCard& card : contents.cards) card.Store(archive);
    archive.WriteU32(contents.fileVersion);
    contents.filter.Store(archive);
    StoreCategoryList(archive, contents.categories);
    return archive.TakeBytes();
}

bool LoadLibrary(std::string_view bytes, LibraryContents& contents, std::string& error) {
    LibraryContents loaded;
    try {
        CLXArchiveReader archive(bytes);
        for (std::uint64_t n = archive.ReadCount(); n > 0; --n)
            loaded.cards.emplace_back().Load(archive);
        loaded.fileVersion = archive.ReadU32();
        loaded.filter.Load(archive);
        LoadCategoryList(archive, loaded.categories);
    } catch (const CLXArchiveError& failure) {
        error = failure.what();
        return false;
    }
    std::erase_if(loaded.cards, [](const CLXCard& card) { return card.type == CARD_READER_ONLY; });
    contents = std::move(loaded);
    return true;
}
