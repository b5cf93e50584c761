#pragma once

#include <string>

class CLXCard;

// The texts and check boxes of the title properties page, filled from one card; the page
// itself only shows them.
struct CLXBookProperties {
    std::string title;
    std::string author;
    std::string isbn;
    std::string publisher;
    std::string genre;
    std::string version;
    std::string size;
    std::string location;
    std::string created;
    std::string modified;
    std::string accessed;
    bool annotations = false;
    bool highlights = false;
    bool notes = false;

    // Returns 0 or the first markup read error.
    int FillFromCard(const CLXCard& card);
};

// "%u Bytes" below 1024 bytes, "%u KBytes" (size / 1024) from 1024 on.
std::string FileSizeText(std::uint32_t size);
