#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/LXCard.h"
#include "library/LXCategory.h"
#include "library/LXFilter.h"

// Everything the library file holds.
struct LibraryContents {
    std::vector<CLXCard> cards;
    std::uint32_t fileVersion = 1;
    CLXFilter filter;
    CLXCategoryList categories;
};

// The library file's bytes: the cards, fileVersion, the filter and the category tree. Storing
// empties the "Not Available" genres of the cards.
std::string StoreLibrary(std::vector<CLXCard>& cards, std::uint32_t fileVersion,
                         const CLXFilter& filter, const CLXCategoryList& categories);
inline std::string StoreLibrary(LibraryContents& contents) {
    return StoreLibrary(contents.cards, contents.fileVersion, contents.filter, contents.categories);
}

// Reads the library file's bytes; false with a reason for a cut or damaged file. Reader-only
// cards are dropped.
bool LoadLibrary(std::string_view bytes, LibraryContents& contents, std::string& error);
