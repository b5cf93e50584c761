#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "library/LXMarkup.h"

class CLXLibraryDoc;
class CLXSettingsStore;

namespace lumo {

// The markup files to fetch from the reader, with the record each one becomes in the library.
struct MarkupFetchList {
    std::vector<std::string> remoteNames;
    std::vector<std::string> localPaths;
    std::vector<CLXMarkup> markups;
};

// The "Upload Markups" question for one reader: true for Yes; dontAskAgain is the check box.
using UploadMarkupsQuestion = std::function<bool(const std::string& readerId, bool& dontAskAgain)>;

// Whether the reader's titles and markups are read now: the reader's own "Upload Markups"
// setting says always (2) or never (1), or the user is asked and the answer remembered when
// asked to.
bool ShouldUploadMarkups(CLXSettingsStore& settings, const std::string& readerId,
                         const UploadMarkupsQuestion& ask);

// After "__TITLES" has been fetched to fetchedPath: converts it (once), requires its "Version"
// (1030), collects the markup files of the titles the library holds and has on the PC into the
// reader's markup folder (1028 without a book directory, 61476 when the folder cannot be made),
// then marks the library's titles that are on the reader. 0, or the first error; on an error
// while collecting, the library is not touched.
int ProcessReaderTitleList(const std::string& fetchedPath, const std::string& readerId,
                           CLXLibraryDoc& library, const CLXSettingsStore& settings,
                           MarkupFetchList& fetch);

// After the markup fetch: hands the records of the first fetchedCount files (those fetched with
// success) to the library, which keeps pointing at the fetched files. Returns how many cards took
// a markup.
int AttachFetchedMarkups(CLXLibraryDoc& library, const MarkupFetchList& fetch,
                         std::size_t fetchedCount);

}  // namespace lumo
