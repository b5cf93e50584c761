#pragma once

// The reader's own settings: what its status file reports and its command files change.

#include <chrono>
#include <string>

namespace lumosim {

struct ReaderFont {
    std::string name;  // as the font file names itself: point size, "pt", the face name
    int size = 0;
    char flag = '?';   // 'S' the built-in font, 'U' a user font from the flash
    std::string file;  // the flash file of a user font
};

ReaderFont BuiltInFont(bool large);

// The reader's clock: a date and time set by a command file, running on from the moment it was set;
// until then it shows the host machine's local time.
class ReaderClock {
public:
    struct Reading {
        int day, month, year, hour, minute, second;
    };

    Reading Now() const;
    void SetDate(int day, int month, int year);
    void SetTime(int hour, int minute, int second);

private:
    void Set(const Reading& reading);

    bool isSet_ = false;
    long long setSeconds_ = 0;  // the set reading as seconds of a calendar without time zones
    std::chrono::steady_clock::time_point setAt_;
};

struct ReaderSettings {
    std::string identifier = "LUMOSIM-0001";
    std::string firmware = "001.024-RM-024-R";
    std::string externalVersion = "024";
    std::string language = "English";
    int dateFormat = 0;
    char dateSeparator = '/';
    int timeFormat = 0;
    char timeSeparator = ':';
    int timeZone = 0;
    int autoOffSeconds = 600;
    bool repaginate = true;
    ReaderFont largeFont = BuiltInFont(true);
    ReaderFont smallFont = BuiltInFont(false);
    int lastError = 0;
    int syncCount = 0;
    ReaderClock clock;
};

}  // namespace lumosim
