#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/LXMarkup.h"

class CLXArchiveReader;
class CLXArchiveWriter;
class CLXReaderTitleList;
class CLXSettingsStore;

// Card error codes (0 = none). The messages for them are in LXCardErrors.h.
enum CardError : int {
    CARD_OK = 0,
    CARD_ERR_COPY = 2,
    CARD_ERR_OPEN = 3,
    CARD_ERR_HEADER_SHORT = 4,
    CARD_ERR_BAD_MAGIC = 5,
    CARD_ERR_COUNT_SHORT = 6,
    CARD_ERR_ENTRY_SHORT = 7,
    CARD_ERR_FILE_EXCEPTION = 8,
    CARD_ERR_INFO_SHORT = 9,
    CARD_ERR_TEMP_NAME = 10,
    CARD_ERR_TEMP_CREATE = 11,
    CARD_ERR_VERSION = 12,
    CARD_ERR_DELETE = 14,
    CARD_ERR_NO_BOOK_DIR = 15,
    CARD_ERR_NO_BOOK_DIR_VALUE = 16,
    CARD_ERR_BAD_URL = 17,
    CARD_ERR_LIST_FORMAT = 1000,
    CARD_ERR_LIST_NOT_FOUND = 1001,
    CARD_ERR_INTERNAL = 1028,
};

enum CardType : std::int32_t { CARD_EDITION = 1, CARD_READER_ONLY = 2, CARD_PERIODICAL = 3 };

constexpr std::uint32_t kEditionMagic = 0x0CB00CB0;
constexpr std::uint32_t kEditionAltMagic = 0xDEC00CB0;
constexpr std::uint32_t kSystemImageMagic = 0xA000C0DE;
constexpr size_t kEditionHeaderSize = 296;

// The library's record of one edition (.lx file).
class CLXCard {
public:
    // Reads the edition's header, table of contents and info entry.
    int ReadFromEdition(const std::string& path);
    // The stored file name: the url behind its first ':' (17 when it holds none), or
    // "adhoc-" + ISBN for an empty url, forbidden characters replaced, ".lx" appended.
    int EditionFileName(std::string& name) const;
    // Copies the edition into the book directory ("Data Locations"/"BookDir"), into the owner's
    // folder. The old stored file is removed only after the new copy is in place.
    int CopyToBookDir(const std::string& source, const CLXSettingsStore& settings);
    // The path CopyToBookDir would store the edition at, without touching anything.
    int StoredPathInBookDir(const CLXSettingsStore& settings, std::string& path) const;
    // 1 when the file at storedPath exists (presence 1), else 0 (presence 2).
    int CheckPresence();
    int DeleteEditionFile();
    // Appends a copy of the markup when it belongs to this card's edition and is not held yet;
    // changed tells whether it was appended.
    void AttachMarkup(const CLXMarkup& markup, bool& changed);
    // Deletes the markup files and drops the markups whose files are gone; the first error is
    // returned and the markups whose files could not be deleted stay.
    int RemoveAllMarkups();
    int GetMarkup(int index, CLXMarkup& markup) const;
    int SetType(std::int32_t newType);
    // Fills the card from title index of a converted reader title list.
    int FromReaderTitle(const CLXReaderTitleList& list, int index,
                        const CLXSettingsStore& settings);

    bool SameIdentity(const CLXCard& other) const;
    // A key equal for two cards exactly when they denote the same title.
    std::string IdentityKey() const;

    // The card record of the library file. Storing empties a genre of "Not Available".
    void Store(CLXArchiveWriter& archive);
    // Reads a record of any schema "1.0" to "8.0" and upgrades it to "8.0"; throws
    // CLXArchiveError for a damaged record or an unknown schema.
    void Load(CLXArchiveReader& archive);

    std::uint32_t onReader = 0;
    std::uint32_t deleteMark = 0;
    std::uint32_t removeCardMark = 0;
    bool temporary = false;
    bool extraFlag = false;
    std::vector<std::string> categories;
    std::string title;
    std::string isbn;
    std::string author;
    std::string reserved1;
    std::string reserved2;
    std::string reserved3;
    std::string genre;
    std::string username;
    std::string url;
    std::string version;
    std::string pubName;
    std::string periodicalId;
    std::string periodicalName;
    std::uint32_t fileSize = 0;
    std::string sourcePath;
    std::string storedPath;
    std::uint32_t presence = 2;
    std::uint32_t lastError = 0;
    std::uint32_t reserved4 = 0;
    std::string schema = "8.0";
    std::uint32_t altMagic = 0;
    std::int32_t type = 0;
    std::vector<CLXMarkup> markups;

private:
    int readEdition(const std::string& path);
    void applyInfo(const std::string& infoText);
};

// The key CLXCard::IdentityKey gives for an owner name and an identifier url.
std::string CardIdentityKey(const std::string& username, const std::string& url);
