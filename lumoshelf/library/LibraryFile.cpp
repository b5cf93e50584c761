#include "library/LibraryFile.h"

#include <algorithm>

#include "library/Archive.h"

std::string StoreLibrary(std::vector<CLXCard>& cards, std::uint32_t fileVersion,
                         const CLXFilter& filter, const CLXCategoryList& categories) {
    CLXArchiveWriter archive;
    archive.Reserve(cards.size() * 256 + 1024);
    archive.WriteCount(cards.size());
    for (CLXCard& card : cards) card.Store(archive);
    archive.WriteU32(fileVersion);
    filter.Store(archive);
    StoreCategoryList(archive, categories);
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
