#include "library/LXBookProperties.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "library/LXCard.h"
#include "library/StringTable.h"

namespace {

constexpr unsigned kNotAvailable = 303;
constexpr unsigned kBytes = 322;
constexpr unsigned kKBytes = 323;
constexpr unsigned kNotPresent = 61478;

enum class TimeText { DateAndTime, DateOnly };

std::string formatTime(std::time_t seconds, TimeText what) {
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return LXString(kNotAvailable);
    char text[128];
    size_t length = what == TimeText::DateAndTime
                        ? std::strftime(text, sizeof text, "%A, %B %d, %Y, %X", &local)
                        : std::strftime(text, sizeof text, "%A, %B %d, %Y", &local);
    return length ? std::string(text, length) : LXString(kNotAvailable);
}

std::string withNumber(unsigned id, std::uint32_t number) {
    std::string text = LXString(id);
    size_t at = text.find("%u");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(number));
    return text;
}

}  // namespace

std::string FileSizeText(std::uint32_t size) {
    return size >= 1024 ? withNumber(kKBytes, size / 1024) : withNumber(kBytes, size);
}

int CLXBookProperties::FillFromCard(const CLXCard& card) {
    title = card.title;
    version = card.version;
    isbn = card.isbn;
    author = card.author;
    location = card.storedPath;
    publisher = card.pubName;
    genre = card.genre;

    annotations = highlights = notes = false;
    for (int i = 0; i < static_cast<int>(card.markups.size()); ++i) {
        CLXMarkup markup;
        if (int error = card.GetMarkup(i, markup)) return error;
        annotations |= markup.kind == CLXMarkup::Annotation;
        highlights |= markup.kind == CLXMarkup::Highlight;
        notes |= markup.kind == CLXMarkup::Note;
    }

    // Linux keeps a birth time only on some file systems; the inode change time is no
    // creation time, so without a birth time "created" is not available.
    struct statx status {};
    if (!card.storedPath.empty() && ::statx(AT_FDCWD, card.storedPath.c_str(), 0,
                                            STATX_BASIC_STATS | STATX_BTIME, &status) == 0) {
        const TimeText full = TimeText::DateAndTime;
        // Some file systems set the mask but leave the birth time at zero.
        const bool hasBirthTime = (status.stx_mask & STATX_BTIME) && status.stx_btime.tv_sec != 0;
        created = hasBirthTime ? formatTime(static_cast<std::time_t>(status.stx_btime.tv_sec), full)
                               : LXString(kNotAvailable);
        modified = formatTime(static_cast<std::time_t>(status.stx_mtime.tv_sec), full);
        accessed =
            formatTime(static_cast<std::time_t>(status.stx_atime.tv_sec), TimeText::DateOnly);
    } else {
        location = LXString(kNotPresent);
        created = modified = accessed = LXString(kNotAvailable);
    }
    size = FileSizeText(card.fileSize);
    return 0;
}
