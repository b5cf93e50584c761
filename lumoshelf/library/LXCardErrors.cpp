#include "library/LXCardErrors.h"

#include "library/LXCard.h"
#include "library/StringTable.h"

CardErrorMessage MessageForCardError(const CLXCard& card) {
    struct Entry {
        unsigned text;
        bool withPath;
        unsigned caption;
    };
    auto entryFor = [](std::uint32_t code) -> Entry {
        switch (code) {
            case CARD_ERR_OPEN:
                return {61466, true, 61454};
            case CARD_ERR_HEADER_SHORT:
            case CARD_ERR_COUNT_SHORT:
            case CARD_ERR_ENTRY_SHORT:
                return {61467, true, 61454};
            case CARD_ERR_BAD_MAGIC:
                return {61468, true, 61454};
            case CARD_ERR_FILE_EXCEPTION:
                return {61470, true, 61454};
            case CARD_ERR_INFO_SHORT:
            case CARD_ERR_TEMP_CREATE:
            case 13:
                return {61471, true, 61454};
            case CARD_ERR_TEMP_NAME:
                return {61472, false, 61454};
            case CARD_ERR_VERSION:
                return {61469, true, 61454};
            case CARD_ERR_NO_BOOK_DIR:
                return {61476, false, 61464};
            case CARD_ERR_NO_BOOK_DIR_VALUE:
                return {61475, false, 61461};
            case CARD_ERR_BAD_URL:
                return {1024, true, 61454};
            case CARD_ERR_LIST_FORMAT:
                return {1000, false, 61454};
            case CARD_ERR_LIST_NOT_FOUND:
                return {1001, false, 61454};
            case CARD_ERR_INTERNAL:
                return {1028, false, 61454};
            default:
                return {61455, false, 61454};
        }
    };
    const Entry entry = entryFor(card.lastError);
    CardErrorMessage message{LXString(entry.caption), MessageText(entry.text)};
    if (entry.withPath) message.text += " " + card.sourcePath;
    return message;
}
