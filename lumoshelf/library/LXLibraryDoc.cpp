#include "library/LXLibraryDoc.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "library/FileUtil.h"
#include "library/LibraryFile.h"
#include "library/ReaderTitleList.h"
#include "library/SettingsStore.h"
#include "library/StringTable.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kNoLibraryDirValue = 61462;
constexpr unsigned kErrorCaption = 61494;
constexpr unsigned kUnreadableLibrary = 61530;
constexpr unsigned kLibraryInUse = 61531;
constexpr std::uint64_t kMaxLibraryFile = UINT64_C(4) << 30;
// The library file's version word, written as 1 whatever a file that was read held.
constexpr std::uint32_t kFileVersion = 1;

// Stored paths are absolute and normal already; only other paths pay for normalising.
std::string pathKey(const std::string& path) {
    if (!path.empty() && path.front() == '/' && path.find("/.") == std::string::npos &&
        path.find("//") == std::string::npos && path.back() != '/')
        return path;
    std::error_code error;
    return fs::absolute(path, error).lexically_normal().string();
}

}  // namespace

CLXLibraryDoc::CLXLibraryDoc(CLXSettingsStore& settings, ILXLibraryUI& ui,
                             ISystemImageSender* sender)
    : settings_(settings), ui_(ui), sender_(sender) {}

CLXLibraryDoc::~CLXLibraryDoc() = default;

bool CLXLibraryDoc::OnOpenDocument(const std::string& libraryPath) {
    libraryPath_ = libraryPath;
    backed_ = false;
    heldElsewhere_ = lock_.Acquire(libraryPath) == CLXLibraryLock::Result::HeldElsewhere;
    readOnly_ = heldElsewhere_;

    // Only a library file that is surely not there is rebuilt; any other trouble with it fails
    // the open, so that a rebuilt library never replaces one that could not be reached.
    struct stat info {};
    if (::stat(libraryPath.c_str(), &info) != 0 && errno == ENOENT) {
        std::string bookDir;
        if (!settings_.ReadString("Data Locations", "BookDir", bookDir)) {
            ui_.ShowMessage(LXString(kErrorCaption), MessageText(kNoLibraryDirValue),
                            ILXLibraryUI::Icon::Stop);
            return false;
        }
        backed_ = true;
        ScanLibraryTree(bookDir);
        BuildCategoryList();
        Save();
    } else {
        auto bytes = lumo::ReadWholeFile(libraryPath, kMaxLibraryFile);
        LibraryContents contents;
        if (!bytes) loadError_ = "the library file cannot be read";
        if (!bytes || !LoadLibrary(*bytes, contents, loadError_)) return false;
        cards_ = std::move(contents.cards);
        filter_ = std::move(contents.filter);
        categories_ = std::move(contents.categories);
        indexesChanged();
        backed_ = true;
    }
    if (readOnly_) {
        ui_.ShowMessage(LXString(kErrorCaption), MessageText(kLibraryInUse) + " " + libraryPath,
                        ILXLibraryUI::Icon::Exclamation);
    } else {
        std::string autoAdd;
        if (settings_.ReadString("Data Locations", "AutoAddDir", autoAdd))
            ImportDirectory(autoAdd, true);
        const std::string pending = std::exchange(pendingFile_, std::string());
        if (pending.empty() || OpenCommandLineFile(pending, true) == 0)
            ui_.UpdateAllViews(HINT_REBUILD, nullptr);
    }
    if (categories_.empty()) BuildCategoryList();
    return true;
}

void CLXLibraryDoc::OnCloseDocument() {
    for (size_t i = cards_.size(); i-- > 0;)
        if (cards_[i].temporary) cards_.erase(cards_.begin() + static_cast<long>(i));
    indexesChanged();
    Save();
    lock_.Release();
}

void CLXLibraryDoc::refuseSave() {
    if (refusalShown_ || readOnly_) return;
    refusalShown_ = true;
    ui_.ShowMessage(LXString(kErrorCaption), MessageText(kUnreadableLibrary) + " " + libraryPath_,
                    ILXLibraryUI::Icon::Stop);
}

bool CLXLibraryDoc::Save() {
    if (!backed_ || readOnly_ || libraryPath_.empty()) {
        refuseSave();
        return false;
    }
    const std::string bytes = StoreLibrary(cards_, kFileVersion, filter_, categories_);
    return lumo::WriteFileAtomically(libraryPath_, bytes);
}

void CLXLibraryDoc::ensureIndexes() const {
    if (indexesValid_) return;
    byIdentity_.clear();
    byStoredPath_.clear();
    byIdentity_.reserve(cards_.size());
    byStoredPath_.reserve(cards_.size());
    for (size_t i = 0; i < cards_.size(); ++i) {
        byIdentity_.emplace(cards_[i].IdentityKey(), static_cast<int>(i));
        if (!cards_[i].storedPath.empty())
            byStoredPath_.emplace(pathKey(cards_[i].storedPath), static_cast<int>(i));
    }
    indexesValid_ = true;
}

void CLXLibraryDoc::appendCard(CLXCard card) {
    ensureIndexes();
    const int index = static_cast<int>(cards_.size());
    byIdentity_.emplace(card.IdentityKey(), index);
    if (!card.storedPath.empty()) byStoredPath_.emplace(pathKey(card.storedPath), index);
    cards_.push_back(std::move(card));
}

int CLXLibraryDoc::FindCard(const std::string& username, const std::string& url) const {
    ensureIndexes();
    auto found = byIdentity_.find(CardIdentityKey(username, url));
    return found == byIdentity_.end() ? -1 : found->second;
}

int CLXLibraryDoc::cardHoldingPath(const std::string& path) const {
    ensureIndexes();
    auto found = byStoredPath_.find(pathKey(path));
    return found == byStoredPath_.end() ? -1 : found->second;
}

void CLXLibraryDoc::SetCard(int index, const CLXCard& card) {
    cards_.at(static_cast<size_t>(index)) = card;
    indexesChanged();
}

int CLXLibraryDoc::BuildCategoryList() {
    categories_.clear();
    struct BuiltIn {
        unsigned nameId;
        const char* id;
    } builtIns[] = {{358, kAllCategoryId}, {359, kUnfiledCategoryId}, {360, kNewCategoryId}};
    for (const BuiltIn& builtIn : builtIns) {
        CLXCategory category;
        category.InitCategory(std::nullopt, builtIn.nameId, std::string(builtIn.id), true);
        CLXCategoryListNode* node = nullptr;
        AddCategory(categories_, category, node);
    }
    // The tree is built afresh, so no identifier a card held before can still be resolved.
    std::unordered_map<std::string, std::string> idByName;
    for (CLXCard& card : cards_) {
        card.categories.clear();
        if (int error = fileCard(card, &idByName)) return error;
    }
    return 0;
}

int CLXLibraryDoc::fileCard(CLXCard& card,
                            std::unordered_map<std::string, std::string>* nameCache) {
    const std::string& name = card.type == CARD_PERIODICAL ? card.periodicalName : card.genre;
    std::string id = kUnfiledCategoryId;
    if (!name.empty()) {
        if (nameCache && nameCache->contains(name)) {
            id = nameCache->at(name);
        } else {
            CLXCategoryListNode* node = nullptr;
            if (int error = FindOrCreateByName(categories_, name, node)) return error;
            id = node->category.id;
            if (nameCache) nameCache->emplace(name, id);
        }
    }
    card.categories.push_back(id);
    card.categories.push_back(kNewCategoryId);
    return 0;
}

int CLXLibraryDoc::deleteTitle(int index, bool removeCard) {
    if (index < 0 || index >= GetCardCount()) return CARD_ERR_INTERNAL;
    CLXCard& card = cards_[static_cast<size_t>(index)];
    if (int error = card.DeleteEditionFile()) return error;
    if (removeCard) {
        cards_.erase(cards_.begin() + index);
    } else {
        card.presence = 2;
    }
    indexesChanged();
    return 1;
}

int CLXLibraryDoc::DeleteTitle(int index, bool removeCard, bool notify) {
    int result = deleteTitle(index, removeCard);
    if (result != 1) return result;
    Save();
    if (notify) ui_.UpdateAllViews(HINT_REBUILD, nullptr);
    return 1;
}

int CLXLibraryDoc::SetDeleteMarks(int index, bool deleteMark, bool removeCardMark) {
    if (index < 0 || index >= GetCardCount()) return kBadTitleIndex;
    cards_[static_cast<size_t>(index)].deleteMark = deleteMark;
    cards_[static_cast<size_t>(index)].removeCardMark = removeCardMark;
    return 0;
}

int CLXLibraryDoc::DeleteMarkedTitles() {
    int firstFailure = 0;
    bool deleted = false;
    for (int i = GetCardCount() - 1; i >= 0; --i) {
        const CLXCard& card = cards_[static_cast<size_t>(i)];
        if (!card.deleteMark) continue;
        int result = deleteTitle(i, card.removeCardMark != 0);
        if (result == 1) {
            deleted = true;
        } else if (firstFailure == 0) {
            firstFailure = result;
        }
    }
    if (deleted) {
        Save();
        ui_.UpdateAllViews(HINT_REBUILD, nullptr);
    }
    return firstFailure;
}

int CLXLibraryDoc::RemoveMarkups(int index) {
    if (index < 0 || index >= GetCardCount()) return CARD_ERR_INTERNAL;
    return cards_[static_cast<size_t>(index)].RemoveAllMarkups();
}

int CLXLibraryDoc::MarkTitlesOnReader(const CLXReaderTitleList& list, bool notify) {
    int count = 0;
    if (int error = list.Count(count)) return error;
    for (CLXCard& card : cards_) card.onReader = 0;
    int firstError = 0;
    for (int n = 0; n < count; ++n) {
        CLXCard title;
        if (int error = title.FromReaderTitle(list, n, settings_)) {
            if (firstError == 0) firstError = error;
            continue;
        }
        int index = FindCard(title.username, title.url);
        if (index >= 0) cards_[static_cast<size_t>(index)].onReader = 1;
    }
    if (notify) ui_.UpdateAllViews(HINT_REBUILD, nullptr);
    return firstError;
}

void CLXLibraryDoc::RemoveCategoryFromCards(const std::string& categoryId) {
    bool changed = false;
    for (CLXCard& card : cards_) {
        auto removed = std::erase_if(card.categories, [&](const std::string& id) {
            return lumo::EqualsNoCase(id, categoryId);
        });
        if (removed == 0) continue;
        changed = true;
        if (card.categories.empty()) card.categories.push_back(kUnfiledCategoryId);
    }
    if (changed) ui_.UpdateAllViews(HINT_REBUILD, nullptr);
}

int CLXLibraryDoc::PurgeMissingCategories() {
    for (CLXCard& card : cards_) {
        std::vector<std::string> kept;
        for (const std::string& id : card.categories) {
            CLXCategoryListNode* node = nullptr;
            int result = FindCategory(categories_, nullptr, &id, node);
            if (result == 0) {
                kept.push_back(id);
            } else if (result != CATEGORY_ERR_NOT_FOUND) {
                return result;
            }
        }
        if (kept.size() == card.categories.size()) continue;
        card.categories = std::move(kept);
        if (card.categories.empty()) card.categories.push_back(kUnfiledCategoryId);
    }
    return 0;
}

void CLXLibraryDoc::SetFilter(const CLXFilter& filter) {
    filter_ = filter;
    ui_.UpdateAllViews(HINT_REBUILD, nullptr);
}

int CLXLibraryDoc::FindNextMatch(int start, CLXCard& card, int& index) const {
    if (start < 0) return CARD_ERR_INTERNAL;
    for (size_t i = static_cast<size_t>(start); i < cards_.size(); ++i) {
        if (!filter_.Passes(cards_[i])) continue;
        card = cards_[i];
        index = static_cast<int>(i);
        return 0;
    }
    return kNoMoreMatches;
}

bool CLXLibraryDoc::AttachMarkup(const CLXMarkup& markup) {
    bool any = false;
    for (CLXCard& card : cards_) {
        bool changed = false;
        card.AttachMarkup(markup, changed);
        any |= changed;
    }
    return any;
}

int CLXLibraryDoc::ApplyPendingMarkups() {
    for (const CLXMarkup& markup : pendingMarkups_) AttachMarkup(markup);
    pendingMarkups_.clear();
    return 0;
}
