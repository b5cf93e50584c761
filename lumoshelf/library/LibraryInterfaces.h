#pragma once

#include <cstdint>
#include <string>

class CLXCard;

// The document's hints to its views.
enum LibraryHint : int {
    HINT_TITLE_ADDED = 1,         // the new card
    HINT_ADD_FAILED = 2,          // the card, with lastError set
    HINT_REBUILD = 3,             // the library or the filter changed; no card
    HINT_ALREADY_IN_LIBRARY = 4,  // the card
    HINT_REINSTALL_FAILED = 5,    // the card
    HINT_REINSTALLED = 6,         // the card
};

// What the document needs from whoever shows it: the main window, lumoctl or a test.
class ILXLibraryUI {
public:
    enum class Icon { Information, Exclamation, Stop };
    virtual ~ILXLibraryUI() = default;
    virtual void ShowMessage(const std::string& caption, const std::string& text, Icon icon) = 0;
    // A yes/no question; true only for yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    // The document's update call to all views; card is null where the hint carries none.
    virtual void UpdateAllViews(int hint, const CLXCard* card) = 0;
};

// A reader system image to send at once, as the library hands it over.
struct SystemImageTransfer {
    std::string path;
    std::string remoteName = "sys.lff";
    int option = 1;
    int fileType = 0;
    int index = 0;
    int count = 1;
    std::uintptr_t context = 0xF000BAAD;
};

// Sends system images to the reader; the transfer worker implements it.
class ISystemImageSender {
public:
    virtual ~ISystemImageSender() = default;
    // Sends the file now, with no progress window and no description; returns the link's
    // result (0 on success).
    virtual int SendFile(const SystemImageTransfer& transfer) = 0;
    // The link's name for a result, shown with message 61455 when a send failed.
    virtual std::string ResultName(int result) = 0;
};

// The link file type for a system image's type code (byte 66 of its head).
inline int SystemImageFileType(unsigned typeCode) {
    switch (typeCode) {
        case 1:
            return 2;
        case 2:
            return 5;
        case 3:
            return 6;
        case 4:
            return 10;
        case 5:
            return 11;
        default:
            return 0;
    }
}
