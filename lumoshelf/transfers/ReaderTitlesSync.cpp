#include "transfers/ReaderTitlesSync.h"

#include <filesystem>

#include "library/FileUtil.h"
#include "library/LXCard.h"
#include "library/LXLibraryDoc.h"
#include "library/ProfileReader.h"
#include "library/ReaderTitleList.h"
#include "library/SafeNames.h"
#include "library/SettingsStore.h"

namespace lumo {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kUploadAlways = 2;
constexpr std::uint32_t kUploadNever = 1;
constexpr int kNoTitleVersion = 1030;
constexpr int kInternalError = 1028;
constexpr int kTitleDirMissing = 61476;
constexpr const char* kMarkupFlags[] = {"", "LA", "LH", "LN"};

bool EnsureFolder(const fs::path& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error)) return true;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

int CollectMarkups(const CLXReaderTitleList& list, const std::string& readerId,
                   const CLXLibraryDoc& library, const CLXSettingsStore& settings,
                   MarkupFetchList& fetch) {
    int count = 0;
    if (const int error = list.Count(count)) return error;
    std::string bookDir;
    if (!settings.ReadString("Data Locations", "BookDir", bookDir)) return kInternalError;
    const fs::path folder = fs::path(bookDir) / SafeNameComponent(readerId);
    bool folderReady = false;

    for (int i = 0; i < count; ++i) {
        CLXCard entry;
        if (const int error = entry.FromReaderTitle(list, i, settings)) return error;
        const int index = library.FindCard(entry.username, entry.url);
        if (index < 0) continue;
        CLXCard card = library.GetCard(index);
        if (card.CheckPresence() != 1) continue;
        std::string fileName;
        if (const int error = list.Field(i, "filename", fileName)) return error;
        const std::string base = BareFileName(fileName);

        for (std::uint32_t kind = CLXMarkup::Annotation; kind <= CLXMarkup::Note; ++kind) {
            if (!list.HasMarkupKind(i, kind)) continue;
            if (!folderReady && !(folderReady = EnsureFolder(folder))) return kTitleDirMissing;
            const std::string extension = CLXMarkup::ExtensionOf(kind);
            CLXMarkup markup;
            markup.SetPathAndKind((folder / SafeNameComponent(base + extension)).string(), kind);
            markup.SetTitleOwner(entry.username);
            markup.SetReaderId(readerId);
            fetch.remoteNames.push_back(base + extension);
            fetch.localPaths.push_back(markup.path);
            fetch.markups.push_back(markup);
        }
    }
    return 0;
}

}  // namespace

bool ShouldUploadMarkups(CLXSettingsStore& settings, const std::string& readerId,
                         const UploadMarkupsQuestion& ask) {
    std::uint32_t stored = 0;
    settings.ReadNumber(readerId, "Upload Markups", stored);
    if (stored == kUploadAlways) return true;
    if (stored == kUploadNever) return false;
    bool dontAskAgain = false;
    const bool yes = ask(readerId, dontAskAgain);
    settings.WriteNumber(dontAskAgain ? (yes ? kUploadAlways : kUploadNever) : 0, readerId,
                         "Upload Markups");
    return yes;
}

int ProcessReaderTitleList(const std::string& fetchedPath, const std::string& readerId,
                           CLXLibraryDoc& library, const CLXSettingsStore& settings,
                           MarkupFetchList& fetch) {
    if (const int error = ConvertReaderTitleList(fetchedPath)) return error;
    const auto text = ReadWholeFile(fetchedPath);
    if (!text) return kInternalError;
    if (CLXProfileReader(*text).GetString("LumoBook", "Version").empty()) return kNoTitleVersion;
    CLXReaderTitleList list;
    list.LoadFromText(*text);

    fetch = MarkupFetchList{};
    if (const int error = CollectMarkups(list, readerId, library, settings, fetch)) {
        fetch = MarkupFetchList{};
        return error;
    }
    return library.MarkTitlesOnReader(list, true);
}

int AttachFetchedMarkups(CLXLibraryDoc& library, const MarkupFetchList& fetch,
                         std::size_t fetchedCount) {
    int attached = 0;
    for (std::size_t i = 0; i < fetchedCount && i < fetch.markups.size(); ++i) {
        if (library.AttachMarkup(fetch.markups[i])) ++attached;
    }
    return attached;
}

}  // namespace lumo
