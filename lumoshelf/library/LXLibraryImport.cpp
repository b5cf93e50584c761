// Adding titles to the library: single files, folders, the book directory tree.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "library/EditionFile.h"
#include "library/FileUtil.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "library/StringTable.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kCantReadHeader = 1053;
constexpr unsigned kNewTitleCaption = 61454;
constexpr unsigned kAddFailed = 61455;
constexpr unsigned kTitleLabel = 61450;
constexpr unsigned kAuthorLabel = 61451;
constexpr unsigned kReinstallQuestion = 307;
constexpr unsigned kOverwriteCaption = 308;
constexpr size_t kSystemImageHeadSize = 77;
constexpr size_t kSystemImageTypeOffset = 66;

struct DirectoryEntry {
    std::string path;
    bool isDirectory;
};

// The entries of a folder in the order the system lists them; symbolic links are neither
// followed into nor taken as files.
std::vector<DirectoryEntry> listDirectory(const std::string& directory) {
    std::vector<DirectoryEntry> entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir) return entries;
    while (dirent* entry = ::readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string path = (fs::path(directory) / name).string();
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode))
            entries.push_back({std::move(path), S_ISDIR(info.st_mode)});
    }
    return entries;
}

bool isMarkupExtension(const std::string& extension) {
    return extension == ".la" || extension == ".lh" || extension == ".ln";
}

std::string titleLines(const CLXCard& card) {
    return LXString(kTitleLabel) + ":\t\t" + card.title + "\n" + LXString(kAuthorLabel) + ":\t\t" +
           card.author + "\n";
}

// Moves a file, across file systems too; false leaves the source where it was.
bool moveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    std::error_code error;
    if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error)) return false;
    return ::unlink(from.c_str()) == 0;
}

}  // namespace

int CLXLibraryDoc::AddTitleFromFile(const std::string& path, bool notify) {
    {
        CLXEditionFile file(path);
        std::string head;
        if (file.IsOpen()) {
            if (file.ReadAt(0, kEditionHeaderSize, head) != CLXEditionFile::Read::Ok) {
                if (notify)
                    ui_.ShowMessage(LXString(kNewTitleCaption), MessageText(kCantReadHeader),
                                    ILXLibraryUI::Icon::Exclamation);
                return 0;
            }
            if (LittleEndian32(head, 0) == kSystemImageMagic)
                return sendSystemImage(path, head, notify);
        }
    }

    CLXCard card;
    if (card.ReadFromEdition(path) != CARD_OK) {
        if (notify) ui_.UpdateAllViews(HINT_ADD_FAILED, &card);
        return 0;
    }
    const int existing = FindCard(card.username, card.url);
    if (existing < 0) {
        // Two identities may map to one stored file name; the second must not replace the first.
        std::string target;
        if (card.StoredPathInBookDir(settings_, target) == CARD_OK) {
            const int holder = cardHoldingPath(target);
            if (holder >= 0 && !cards_[static_cast<size_t>(holder)].SameIdentity(card)) {
                card.lastError = CARD_ERR_COPY;
                if (notify) ui_.UpdateAllViews(HINT_ADD_FAILED, &card);
                return 0;
            }
        }
        if (card.CopyToBookDir(path, settings_) != CARD_OK) {
            if (notify) ui_.UpdateAllViews(HINT_ADD_FAILED, &card);
            return 0;
        }
        if (fileCard(card) != 0) return 0;
        appendCard(card);
        if (notify) {
            Save();
            ui_.UpdateAllViews(HINT_TITLE_ADDED, &cards_.back());
        }
        return 1;
    }

    CLXCard stored = cards_[static_cast<size_t>(existing)];
    if (stored.CheckPresence() && !ui_.AskYesNo(LXString(kOverwriteCaption),
                                                LXString(kReinstallQuestion) + titleLines(stored)))
        return 0;
    if (stored.CopyToBookDir(path, settings_) != CARD_OK) {
        if (notify) ui_.UpdateAllViews(HINT_REINSTALL_FAILED, &stored);
        return 0;
    }
    SetCard(existing, stored);
    if (notify) ui_.UpdateAllViews(HINT_REINSTALLED, &cards_[static_cast<size_t>(existing)]);
    return 1;
}

int CLXLibraryDoc::sendSystemImage(const std::string& path, const std::string& head, bool notify) {
    if (head.size() < kSystemImageHeadSize) {
        if (notify)
            ui_.ShowMessage(LXString(kNewTitleCaption), MessageText(kCantReadHeader),
                            ILXLibraryUI::Icon::Exclamation);
        return 0;
    }
    SystemImageTransfer transfer;
    transfer.path = path;
    transfer.fileType =
        SystemImageFileType(static_cast<unsigned char>(head[kSystemImageTypeOffset]));
    const int result = sender_ ? sender_->SendFile(transfer) : -1;
    if (result == 0) return 1;
    if (notify) {
        const std::string name = sender_ ? sender_->ResultName(result) : std::string();
        ui_.ShowMessage(LXString(kNewTitleCaption),
                        MessageText(kAddFailed) + (name.empty() ? "" : "\n" + name),
                        ILXLibraryUI::Icon::Stop);
    }
    return 0;
}

void CLXLibraryDoc::importMarkupBesideItsCard(const std::string& path) {
    const std::string base = lumo::BareFileName(path);
    for (const CLXCard& card : cards_) {
        if (card.storedPath.empty() ||
            !lumo::EqualsNoCase(lumo::BareFileName(card.storedPath), base))
            continue;
        const std::string target =
            (fs::path(card.storedPath).parent_path() / lumo::LastNamePart(path)).string();
        if (!lumo::SamePath(target, path) && !moveFile(path, target)) return;
        CLXMarkup markup;
        if (markup.SetFromPath(target) == 0) pendingMarkups_.push_back(markup);
        return;
    }
}

int CLXLibraryDoc::ImportDirectory(const std::string& directory, bool removeImported) {
    const std::vector<DirectoryEntry> entries = listDirectory(directory);
    std::vector<std::string> imported;
    std::vector<std::string> markupFiles;
    for (const DirectoryEntry& entry : entries) {
        if (entry.isDirectory) continue;
        const std::string extension = lumo::LowerExtension(entry.path);
        if (isMarkupExtension(extension)) {
            if (removeImported) {
                markupFiles.push_back(entry.path);
            } else {
                CLXMarkup markup;
                if (markup.SetFromPath(entry.path) == 0) pendingMarkups_.push_back(markup);
            }
        } else if (extension == ".lx") {
            if (AddTitleFromFile(entry.path, false) == 1 && removeImported &&
                cardHoldingPath(entry.path) < 0)
                imported.push_back(entry.path);
        }
    }
    if (!removeImported) return 0;

    // Markups go beside their editions (all editions of the folder are in by now); markups
    // that belong to no title stay where they are.
    for (const std::string& path : markupFiles) importMarkupBesideItsCard(path);
    ApplyPendingMarkups();
    if (!Save()) return 0;
    std::string bookDir;
    if (!imported.empty() && settings_.ReadString("Data Locations", "BookDir", bookDir))
        lumo::SyncFileSystemOf(bookDir);
    for (const std::string& path : imported)
        if (lumo::IsRegularFileNoFollow(path)) ::unlink(path.c_str());
    return 0;
}

int CLXLibraryDoc::ScanLibraryTree(const std::string& directory) {
    struct Walker {
        CLXLibraryDoc& doc;
        void walk(const std::string& folder) {
            for (const DirectoryEntry& entry : listDirectory(folder))
                if (entry.isDirectory) walk(entry.path);
            doc.ImportDirectory(folder, false);
        }
    };
    Walker{*this}.walk(directory);
    return ApplyPendingMarkups();
}
