#include "lumosim/ReaderSettings.h"

#include <ctime>

namespace lumosim {

ReaderFont BuiltInFont(bool large) {
    return large ? ReaderFont{"14pt Lumo Serif", 14, 'S', {}}
                 : ReaderFont{"10pt Lumo Serif", 10, 'S', {}};
}

ReaderClock::Reading ReaderClock::Now() const {
    std::tm fields{};
    if (isSet_) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::steady_clock::now() - setAt_);
        const std::time_t seconds = static_cast<std::time_t>(setSeconds_ + elapsed.count());
        gmtime_r(&seconds, &fields);
    } else {
        const std::time_t seconds = std::time(nullptr);
        localtime_r(&seconds, &fields);
    }
    return {fields.tm_mday, fields.tm_mon + 1, fields.tm_year + 1900,
            fields.tm_hour, fields.tm_min,     fields.tm_sec};
}

void ReaderClock::SetDate(int day, int month, int year) {
    Reading reading = Now();
    reading.day = day;
    reading.month = month;
    reading.year = year;
    Set(reading);
}

void ReaderClock::SetTime(int hour, int minute, int second) {
    Reading reading = Now();
    reading.hour = hour;
    reading.minute = minute;
    reading.second = second;
    Set(reading);
}

void ReaderClock::Set(const Reading& reading) {
    std::tm fields{};
    fields.tm_mday = reading.day;
    fields.tm_mon = reading.month - 1;
    fields.tm_year = reading.year - 1900;
    fields.tm_hour = reading.hour;
    fields.tm_min = reading.minute;
    fields.tm_sec = reading.second;
    setSeconds_ = timegm(&fields);
    setAt_ = std::chrono::steady_clock::now();
    isSet_ = true;
}

}  // namespace lumosim
