#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "library/EditionJob.h"
#include "library/LXCard.h"
#include "library/LXCategory.h"
#include "library/LXFilter.h"
#include "library/LXMarkup.h"
#include "library/LibraryInterfaces.h"
#include "library/LibraryLock.h"
#include "lumowriter/MakeLumoEBook.h"

class CLXReaderTitleList;
class ILXEditionUI;
class CLXSettingsStore;

constexpr int kNoMoreMatches = 1058;
constexpr int kBadTitleIndex = 61494;

using MakeLumoEBookFunction = decltype(&MakeLumoEBook);

// The library: the cards, the category tree, the filter and the markups waiting for their
// cards, backed by the library file. Every operation that saves writes the whole file at once,
// atomically. After a failed open the document is not backed by the file: saves are refused and
// the unreadable file stays as it is.
class CLXLibraryDoc {
public:
    CLXLibraryDoc(CLXSettingsStore& settings, ILXLibraryUI& ui,
                  ISystemImageSender* sender = nullptr);
    ~CLXLibraryDoc();
    CLXLibraryDoc(const CLXLibraryDoc&) = delete;
    CLXLibraryDoc& operator=(const CLXLibraryDoc&) = delete;

    // The file named on the command line, imported at the end of the open.
    void SetPendingFile(const std::string& path) { pendingFile_ = path; }
    // Opens the library at libraryPath: reads the file, or rebuilds it from the book directory
    // when it is missing, then imports the auto-add folder and the pending file. When another
    // program holds the library, it is opened read-only: nothing is imported or saved.
    bool OnOpenDocument(const std::string& libraryPath);
    // Removes the temporary cards, saves and releases the library.
    void OnCloseDocument();
    // Writes the library file; false when it is refused (read-only, not backed) or fails.
    bool Save();

    bool IsReadOnly() const { return readOnly_; }
    bool IsHeldElsewhere() const { return heldElsewhere_; }
    bool IsBacked() const { return backed_; }
    const std::string& LibraryPath() const { return libraryPath_; }
    const std::string& LastLoadError() const { return loadError_; }

    // 1 when the title is in the library afterwards, else 0.
    int AddTitleFromFile(const std::string& path, bool notify);
    // Imports the editions and markups of one folder. With removeImported the library is saved
    // and then the imported editions (and sent system images) are deleted; markups are moved
    // beside their cards' editions.
    int ImportDirectory(const std::string& directory, bool removeImported);
    int ScanLibraryTree(const std::string& directory);
    int ApplyPendingMarkups();
    void AddPendingMarkup(const CLXMarkup& markup) { pendingMarkups_.push_back(markup); }
    const std::vector<CLXMarkup>& PendingMarkups() const { return pendingMarkups_; }
    // Offers a markup to every card; true when a card took it.
    bool AttachMarkup(const CLXMarkup& markup);
    int BuildCategoryList();
    // 1 on success; 14 when the edition file cannot be removed (the card stays as it was);
    // 1028 for an index outside the library.
    int DeleteTitle(int index, bool removeCard, bool notify);
    int SetDeleteMarks(int index, bool deleteMark, bool removeCardMark);
    // 0, or the first failure of DeleteTitle.
    int DeleteMarkedTitles();
    int RemoveMarkups(int index);
    // Clears every card's onReader, then sets it for every title of the converted reader title
    // list whose card is in the library. Titles with errors are skipped; the first error is
    // returned.
    int MarkTitlesOnReader(const CLXReaderTitleList& list, bool notify);
    void RemoveCategoryFromCards(const std::string& categoryId);
    int PurgeMissingCategories();
    void SetFilter(const CLXFilter& filter);
    const CLXFilter& Filter() const { return filter_; }
    int FindNextMatch(int start, CLXCard& card, int& index) const;
    // A file named on the command line or handed over by a second start: editions and reader
    // software are added, other documents (and ".laf" job files) are built into editions.
    int OpenCommandLineFile(const std::string& path, bool notify);
    // Builds an edition from the job in the self-publishing folder and adds it; the result of
    // AddTitleFromFile, or 0. A second build while one runs is refused.
    int MakeEdition(const EditionJob& job, bool notify = true);
    bool IsBuildBusy() const { return buildBusy_; }
    // The dialogs of edition building and the version written into built editions. Without
    // dialogs, editions are built unconfirmed, without progress and without credentials.
    void SetEditionUI(ILXEditionUI* editionUi, std::string productVersion);
    void SetEditionConverter(MakeLumoEBookFunction converter) { converter_ = converter; }

    int GetCardCount() const { return static_cast<int>(cards_.size()); }
    CLXCard GetCard(int index) const { return cards_.at(static_cast<size_t>(index)); }
    const CLXCard& CardAt(int index) const { return cards_.at(static_cast<size_t>(index)); }
    void SetCard(int index, const CLXCard& card);
    // The index of the card of that identity, or -1.
    int FindCard(const std::string& username, const std::string& url) const;

    CLXCategoryList& Categories() { return categories_; }
    const CLXCategoryList& Categories() const { return categories_; }

private:
    int fileCard(CLXCard& card, std::unordered_map<std::string, std::string>* nameCache = nullptr);
    int deleteTitle(int index, bool removeCard);
    void appendCard(CLXCard card);
    void indexesChanged() { indexesValid_ = false; }
    void ensureIndexes() const;
    int cardHoldingPath(const std::string& path) const;
    int sendSystemImage(const std::string& path, const std::string& head, bool notify);
    void importMarkupBesideItsCard(const std::string& path);
    void refuseSave();
    int buildDocument(const std::string& path, bool notify);
    int runConverter(const EditionJob& job, const std::string& folder, const std::string& name);
    void showBuildError(unsigned message);

    CLXSettingsStore& settings_;
    ILXLibraryUI& ui_;
    ISystemImageSender* sender_;
    CLXLibraryLock lock_;
    std::string libraryPath_;
    std::string pendingFile_;
    std::string loadError_;
    bool backed_ = false;
    bool readOnly_ = false;
    bool heldElsewhere_ = false;
    bool refusalShown_ = false;

    ILXEditionUI* editionUi_ = nullptr;
    std::string productVersion_;
    MakeLumoEBookFunction converter_ = MakeLumoEBook;
    bool buildBusy_ = false;

    CLXCategoryList categories_;
    std::vector<CLXCard> cards_;
    std::vector<CLXMarkup> pendingMarkups_;
    CLXFilter filter_;

    mutable bool indexesValid_ = false;
    mutable std::unordered_map<std::string, int> byIdentity_;
    mutable std::unordered_map<std::string, int> byStoredPath_;
};
