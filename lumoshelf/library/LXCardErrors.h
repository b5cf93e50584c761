#pragma once

#include <string>

class CLXCard;

// What the title list shows when adding a title failed: a caption and a text, both taken from
// the string table, with the card's source path after the texts that name a file.
struct CardErrorMessage {
    std::string caption;
    std::string text;
};

CardErrorMessage MessageForCardError(const CLXCard& card);
